// Compares the core with the independent reference model over seeded random
// field texts of many shapes. A few thousand cases by default; configure
// with -DMENSUREL_DIFF_MILLIONS=ON for millions.
#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
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

// The model's own arithmetic, against values worked out apart from it: each
// operation rounded once to the nearest binary64, ties to even, into the
// subnormal range and to infinity.
struct ArithmeticRow {
    const char* what;
    double got;
    double expected;
};

TEST(ReferenceModel, RoundsEachOperationOnceToTheNearest)
{
    const double inf = std::numeric_limits<double>::infinity();
    const auto negativeZero = std::bit_cast<double>(std::uint64_t { 1 } << 63);
    const ArithmeticRow rows[] = {
        { "39.3701", reference::decimal("39.3701"), 0x1.3af5f6fd21ff3p+5 },
        { "0.0254", reference::decimal("0.0254"), 0x1.a027525460aa6p-6 },
        { "0.1", reference::decimal("0.1"), 0x1.999999999999ap-4 },
        { "30 digits", reference::decimal("123456789012345678901234567890"),
            0x1.8ee90ff6c373ep+96 },
        { "tie up to even", reference::multiply(0x1.0000000000001p+0, 1.5), 0x1.8000000000002p+0 },
        { "tie down to even", reference::multiply(0x1.0000000000003p+0, 1.5),
            0x1.8000000000004p+0 },
        { "subnormal tie", reference::multiply(0x1.0000000000001p-1022, 0.5),
            0x0.8000000000000p-1022 },
        { "exact subnormal", reference::multiply(0x1p-1070, 0.75), 0x0.000000000000cp-1022 },
        { "overflow", reference::multiply(-1e308, 10.0), -inf },
        { "signed zero", reference::multiply(negativeZero, 1000.0), negativeZero },
        { "1/3", reference::divide(1.0, 3.0), 0x1.5555555555555p-2 },
        { "-1/39.3701", reference::divide(-1.0, 0x1.3af5f6fd21ff3p+5), -0x1.a027439a277dep-6 },
        { "7/0.0254", reference::divide(7.0, 0x1.a027525460aa6p-6), 0x1.13972e5cb972fp+8 },
        { "into subnormals", reference::divide(1e-310, 0x1.a027525460aa6p-6),
            0x0.2d4bd416cf8e1p-1022 },
        { "half the least, to 0", reference::divide(0x1p-1074, 2.0), 0.0 },
        { "3/4 of the least, up", reference::divide(0x1.8p-1074, 2.0), 0x1p-1074 },
        { "overflowing quotient", reference::divide(1e308, 0x1.a027525460aa6p-6), inf },
        { "-12345 / 10000", reference::toDouble(-12345), -1.2345 },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(row.got), std::bit_cast<std::uint64_t>(row.expected))
            << row.what << ": " << row.got;
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
        if (std::bit_cast<std::uint64_t>(p)
            != std::bit_cast<std::uint64_t>(reference::toDouble(*model))) {
            ++failures;
            ADD_FAILURE() << "CurrencyToDouble of " << core->tenThousandths << "e-4";
            continue;
        }
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
