// Feeds arbitrary bytes as the text of each field and checks what a
// conversion may write: on success three texts of digits, "-" and "." with
// exactly one "." and the source untouched; on failure nothing at all.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mensurel/convert.h"
#include "mensurel/number_text.h"

namespace {

bool isFieldText(const std::string& s)
{
    if (s.empty()) return false;
    int points = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '.') {
            ++points;
        } else if (c == '-') {
            if (i != 0) return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return points == 1;
}

void check(bool ok)
{
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const mensurel::UnitField fields[] = { mensurel::UnitField::inchs, mensurel::UnitField::mils,
        mensurel::UnitField::mm, mensurel::UnitField::ums };
    for (mensurel::UnitField from : fields) {
        mensurel::FieldTexts texts { "#in", "#mil", "#mm", "#um" };
        texts[from] = text;
        const mensurel::FieldTexts before = texts;
        const bool converted = mensurel::ConvertFromField(from, texts);
        check(texts[from] == text);
        if (!converted) {
            check(texts == before);
            // Only numbers beyond binary64 or far beyond any board fail.
            const auto v = mensurel::ParseVal(text);
            check(!v || std::fabs(*v) > 3.6e10);
            continue;
        }
        for (mensurel::UnitField f : fields) {
            if (f != from) check(isFieldText(texts[f]));
        }
    }
    return 0;
}
