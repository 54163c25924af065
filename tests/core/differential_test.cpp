// Compares the core with the independent reference model over seeded random
// field texts of many shapes. A few thousand cases by default; configure
// with -DMENSUREL_DIFF_MILLIONS=ON for millions.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "mensurel/convert.h"
#include "mensurel/number_text.h"
#include "reference_model.h"

#ifndef MENSUREL_DIFF_CASES
#define MENSUREL_DIFF_CASES 5000
#endif

namespace {

using mensurel::UnitField;

class TextMaker {
public:
    explicit TextMaker(std::uint64_t seed)
        : rng_(seed)
    {
    }

    std::string make()
    {
        switch (pick(8)) {
        case 0: return shaped();
        case 1: return shaped() + junk();
        case 2: return sprinkled(shaped());
        case 3: return junk();
        case 4: return printed("%.17g", randomDouble());
        case 5: return printed("%.4f", randomDouble());
        case 6: return near(pick(2) ? 39.3701 : 0.0254);
        default: return printed("%.12e", randomDouble());
        }
    }

private:
    unsigned pick(unsigned n)
    {
        return static_cast<unsigned>(std::uniform_int_distribution<unsigned>(0, n - 1)(rng_));
    }
    std::string digitsOf(unsigned max)
    {
        std::string s;
        for (unsigned n = pick(max + 1); n > 0; --n) s += static_cast<char>('0' + pick(10));
        return s;
    }
    // sign? digits? (. digits?)? (marker sign? digits?)?
    std::string shaped()
    {
        static const char* markers[] = { "e", "E", "d", "D" };
        std::string s;
        if (pick(3) == 0) s += pick(2) ? "-" : "+";
        s += digitsOf(pick(4) == 0 ? 25 : 8);
        if (pick(2)) {
            s += '.';
            s += digitsOf(pick(4) == 0 ? 25 : 6);
        }
        if (pick(3) == 0) {
            s += markers[pick(4)];
            if (pick(2)) s += pick(2) ? "-" : "+";
            s += digitsOf(pick(5) == 0 ? 4 : 2);
        }
        return s;
    }
    std::string junk()
    {
        static const char* pieces[] = { "abc", ",", ".", "-", "+", "e", "D", "&H1F", "\xC2\xB5",
            "\xEF\xBC\x91", "\r", "\x01", "\xFF", " ", "\t", "\n", "mm", "1" };
        std::string s;
        for (unsigned n = pick(4); n > 0; --n) s += pieces[pick(std::size(pieces))];
        return s;
    }
    std::string sprinkled(std::string s)
    {
        static const char blanks[] = { ' ', '\t', '\n' };
        for (unsigned n = pick(4); n > 0; --n) {
            s.insert(pick(static_cast<unsigned>(s.size()) + 1), 1, blanks[pick(3)]);
        }
        return s;
    }
    double randomDouble()
    {
        const double mag
            = std::ldexp(1.0 + pick(1u << 30) / double(1u << 30), static_cast<int>(pick(120)) - 60);
        return pick(2) ? -mag : mag;
    }
    // Multiples of a conversion factor land next to rounding ties.
    std::string near(double factor)
    {
        const double k = static_cast<double>(pick(2000000)) / 10000.0;
        return printed("%.17g", k * factor + (pick(2) ? 0.0 : 0.00005));
    }
    static std::string printed(const char* format, double v)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, format, v);
        return buf;
    }

    std::mt19937_64 rng_;
};

std::string escaped(const std::string& s)
{
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

TEST(Differential, CoreMatchesReferenceModel)
{
    TextMaker maker(20261207);
    const UnitField fields[] = { UnitField::inchs, UnitField::mils, UnitField::mm, UnitField::ums };
    int failures = 0;
    for (int i = 0; i < MENSUREL_DIFF_CASES && failures < 10; ++i) {
        const std::string text = maker.make();
        for (int f = 0; f < 4; ++f) {
            mensurel::FieldTexts core { "a", "b", "c", "d" };
            core[fields[f]] = text;
            reference::Texts model { "a", "b", "c", "d" };
            model[static_cast<size_t>(f)] = text;

            const bool converted = mensurel::ConvertFromField(fields[f], core);
            const auto expected = reference::convert(f, model);
            const reference::Texts got { core.inchs, core.mils, core.mm, core.ums };
            if (converted != expected.has_value() || (expected && got != *expected)) {
                ++failures;
                ADD_FAILURE() << "field " << f << " text \"" << escaped(text) << "\": core "
                              << (converted ? "" : "failed ") << got[0] << ' ' << got[1] << ' '
                              << got[2] << ' ' << got[3] << " / model "
                              << (expected ? (*expected)[0] + ' ' + (*expected)[1] + ' '
                                             + (*expected)[2] + ' ' + (*expected)[3]
                                           : std::string("failed"));
            }
        }
    }
}

// The operations one by one, on raw doubles of every magnitude.
TEST(Differential, OperationsMatchReferenceModel)
{
    std::mt19937_64 rng(7);
    int failures = 0;
    for (int i = 0; i < MENSUREL_DIFF_CASES * 4 && failures < 10; ++i) {
        std::uint64_t bits = rng();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x)) continue;
        // Scale most values into the Currency range.
        if (i % 4 != 0) {
            int unused = 0;
            x = std::ldexp(std::frexp(x, &unused), static_cast<int>(rng() % 110) - 60);
        }
        const auto core = mensurel::RoundCurrency(x);
        const auto model = reference::round(x);
        if (core.has_value() != model.has_value()
            || (core && core->tenThousandths != static_cast<std::int64_t>(*model))) {
            ++failures;
            ADD_FAILURE() << "RoundCurrency(" << x << ")";
            continue;
        }
        if (!core) continue;
        const double p = mensurel::CurrencyToDouble(*core);
        if (mensurel::FormatStr(*core) != reference::renderTenThousandths(*model)
            || mensurel::FormatStr(p) != reference::renderDouble(p)) {
            ++failures;
            ADD_FAILURE() << "FormatStr of " << core->tenThousandths
                          << "e-4: " << mensurel::FormatStr(*core) << " / "
                          << mensurel::FormatStr(p) << " vs " << reference::renderDouble(p);
        }
    }
}

} // namespace
