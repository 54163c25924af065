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

    std::string Make()
    {
        switch (Pick(8)) {
        case 0: return Shaped();
        case 1: return Shaped() + Junk();
        case 2: return Sprinkled(Shaped());
        case 3: return Junk();
        case 4: return Printed("%.17g", RandomDouble());
        case 5: return Printed("%.4f", RandomDouble());
        case 6: return Near(Pick(2) ? 39.3701 : 0.0254);
        default: return Printed("%.12e", RandomDouble());
        }
    }

private:
    unsigned Pick(unsigned n)
    {
        return static_cast<unsigned>(std::uniform_int_distribution<unsigned>(0, n - 1)(rng_));
    }
    std::string DigitsOf(unsigned max)
    {
        std::string s;
        for (unsigned n = Pick(max + 1); n > 0; --n) s += static_cast<char>('0' + Pick(10));
        return s;
    }
    // sign? digits? (. digits?)? (marker sign? digits?)?
    std::string Shaped()
    {
        static const char* markers[] = { "e", "E", "d", "D" };
        std::string s;
        if (Pick(3) == 0) s += Pick(2) ? "-" : "+";
        s += DigitsOf(Pick(4) == 0 ? 25 : 8);
        if (Pick(2)) {
            s += '.';
            s += DigitsOf(Pick(4) == 0 ? 25 : 6);
        }
        if (Pick(3) == 0) {
            s += markers[Pick(4)];
            if (Pick(2)) s += Pick(2) ? "-" : "+";
            s += DigitsOf(Pick(5) == 0 ? 4 : 2);
        }
        return s;
    }
    std::string Junk()
    {
        static const char* pieces[] = { "abc", ",", ".", "-", "+", "e", "D", "&H1F", "\xC2\xB5",
            "\xEF\xBC\x91", "\r", "\x01", "\xFF", " ", "\t", "\n", "mm", "1" };
        std::string s;
        for (unsigned n = Pick(4); n > 0; --n) s += pieces[Pick(std::size(pieces))];
        return s;
    }
    std::string Sprinkled(std::string s)
    {
        static const char blanks[] = { ' ', '\t', '\n' };
        for (unsigned n = Pick(4); n > 0; --n) {
            s.insert(Pick(static_cast<unsigned>(s.size()) + 1), 1, blanks[Pick(3)]);
        }
        return s;
    }
    double RandomDouble()
    {
        const double mag
            = std::ldexp(1.0 + Pick(1u << 30) / double(1u << 30), static_cast<int>(Pick(120)) - 60);
        return Pick(2) ? -mag : mag;
    }
    // Multiples of a conversion factor land next to rounding ties.
    std::string Near(double factor)
    {
        const double k = static_cast<double>(Pick(2000000)) / 10000.0;
        return Printed("%.17g", k * factor + (Pick(2) ? 0.0 : 0.00005));
    }
    static std::string Printed(const char* format, double v)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, format, v);
        return buf;
    }

    std::mt19937_64 rng_;
};

std::string Escaped(const std::string& s)
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
        const std::string text = maker.Make();
        for (int f = 0; f < 4; ++f) {
            mensurel::FieldTexts core { "a", "b", "c", "d" };
            core[fields[f]] = text;
            reference::Texts model { "a", "b", "c", "d" };
            model[static_cast<size_t>(f)] = text;

            const bool converted = mensurel::ConvertFromField(fields[f], core);
            const auto expected = reference::Convert(f, model);
            const reference::Texts got { core.inchs, core.mils, core.mm, core.ums };
            if (converted != expected.has_value() || (expected && got != *expected)) {
                ++failures;
                ADD_FAILURE() << "field " << f << " text \"" << Escaped(text) << "\": core "
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
        const auto model = reference::Round(x);
        if (core.has_value() != model.has_value()
            || (core && core->tenThousandths != static_cast<std::int64_t>(*model))) {
            ++failures;
            ADD_FAILURE() << "RoundCurrency(" << x << ")";
            continue;
        }
        if (!core) continue;
        const double p = mensurel::CurrencyToDouble(*core);
        if (mensurel::FormatStr(*core) != reference::RenderTenThousandths(*model)
            || mensurel::FormatStr(p) != reference::RenderDouble(p)) {
            ++failures;
            ADD_FAILURE() << "FormatStr of " << core->tenThousandths
                          << "e-4: " << mensurel::FormatStr(*core) << " / "
                          << mensurel::FormatStr(p) << " vs " << reference::RenderDouble(p);
        }
    }
}

} // namespace
