#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <string>

#include "mensurel/number_text.h"

namespace mensurel {
namespace {

// ---------------------------------------------------------------- ParseVal

struct ParseRow {
    const char* text;
    double value;
};

void PrintTo(const ParseRow& r, std::ostream* os)
{
    *os << '"' << r.text << "\" -> " << r.value;
}

class ParseValTest : public testing::TestWithParam<ParseRow> { };

TEST_P(ParseValTest, ReadsNearestDouble)
{
    const auto got = ParseVal(GetParam().text);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, GetParam().value);
    EXPECT_EQ(std::signbit(*got), std::signbit(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Table, ParseValTest,
    testing::Values(
        // What a user types.
        ParseRow { "", 0.0 }, ParseRow { "abc", 0.0 }, ParseRow { "25.4", 25.4 },
        ParseRow { "  12 .5 mm", 12.5 }, ParseRow { "1 2.5", 12.5 }, ParseRow { "1e3", 1000.0 },
        ParseRow { "-.5", -0.5 }, ParseRow { "1,5", 1.0 }, ParseRow { "12abc", 12.0 },
        ParseRow { "+7", 7.0 }, ParseRow { "5.", 5.0 }, ParseRow { "-0", -0.0 },
        // Blanks, tabs and line feeds vanish wherever they stand; a carriage
        // return does not.
        ParseRow { "\t- 5\n", -5.0 }, ParseRow { "1e 3", 1000.0 }, ParseRow { "1\r2", 1.0 },
        // Exponents: E, e, D, d, with a sign; a bare marker is not read.
        ParseRow { "2D2", 200.0 }, ParseRow { "2d-2", 0.02 }, ParseRow { "2E+2", 200.0 },
        ParseRow { "1e", 1.0 }, ParseRow { "1e+", 1.0 }, ParseRow { "1e-x", 1.0 },
        ParseRow { "1.5.5", 1.5 }, ParseRow { "1e2e3", 100.0 },
        // No number leads: zero.
        ParseRow { ".", 0.0 }, ParseRow { "-", 0.0 }, ParseRow { "+.", 0.0 },
        ParseRow { "e5", 0.0 }, ParseRow { "&H10", 0.0 }, ParseRow { "&O17", 0.0 },
        ParseRow { "--1", 0.0 },
        // Non-ASCII ends the number: micro sign, full-width digits.
        ParseRow { "12\xC2\xB5m", 12.0 }, ParseRow { "\xEF\xBC\x91\xEF\xBC\x92", 0.0 },
        ParseRow { "3\xEF\xBC\x91", 3.0 },
        // Correct rounding at the edges of binary64.
        ParseRow { "0.1", 0.1 }, ParseRow { "9007199254740993", 9007199254740992.0 },
        ParseRow { "9007199254740993.000001", 9007199254740994.0 },
        ParseRow { "1.7976931348623157e308", 1.7976931348623157e308 },
        ParseRow { "4.9406564584124654e-324", 4.9406564584124654e-324 }, ParseRow { "1e-400", 0.0 },
        ParseRow { "-1e-400", -0.0 }, ParseRow { "0.000001e-330", 0.0 },
        ParseRow { "123456789012345678901234567890e-300", 1.234567890123457e-271 }));

TEST(ParseVal, NumbersBeyondBinary64Fail)
{
    for (const char* text : { "1e400", "-1e309", "1.7976931348623159e308", "1e99999999999999999999",
             "100000000000000000000000000000000000000e300" }) {
        EXPECT_FALSE(ParseVal(text).has_value()) << text;
    }
}

TEST(ParseVal, ExponentOverflowOfTinyMantissaStillFails)
{
    // The leading digit decides the direction, not the exponent alone.
    EXPECT_FALSE(ParseVal("0.001e312").has_value());
    EXPECT_EQ(ParseVal("1000e-330"), 0.0);
}

// However many zeros lead the digits, the first non-zero digit and the
// exponent decide whether an out-of-range number overflowed or underflowed.
TEST(ParseVal, LeadingZerosDoNotDecideOverflowOrUnderflow)
{
    const std::string zeros(1500, '0');
    EXPECT_EQ(ParseVal(zeros + "1e-330"), 0.0); // 1e-330
    EXPECT_FALSE(ParseVal(zeros + "5e400").has_value()); // 5e400
    EXPECT_EQ(ParseVal("0." + zeros + "1e1800"), 1e299);
    EXPECT_FALSE(ParseVal("0." + zeros + "1e1900").has_value()); // 1e399
    EXPECT_EQ(ParseVal("1" + zeros + "e-1800"), 1e-300);
    EXPECT_EQ(ParseVal("1" + zeros + "e-1900"), 0.0); // 1e-400
    EXPECT_EQ(ParseVal(zeros + "." + zeros + "e99999"), 0.0);
    const auto negative = ParseVal("-0." + zeros + "1e-5"); // -1e-1506
    ASSERT_TRUE(negative.has_value());
    EXPECT_EQ(*negative, 0.0);
    EXPECT_TRUE(std::signbit(*negative));
}

TEST(ParseVal, MegabyteTextsParse)
{
    const std::string digits(1 << 20, '7');
    EXPECT_FALSE(ParseVal(digits).has_value()); // 7.77...e1048575
    EXPECT_EQ(ParseVal("0." + digits), 0.7777777777777778);
    EXPECT_EQ(ParseVal(std::string(1 << 20, ' ') + "42"), 42.0);
    EXPECT_EQ(ParseVal("1e" + std::string(1 << 20, '0')), 1.0);
    EXPECT_EQ(ParseVal("1." + std::string(1 << 20, '0') + "1"), 1.0);
}

// The decimal point is "." even when the process runs in a locale whose
// decimal separator is a comma, for both the C and the C++ global locale.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
};

TEST(ParseVal, IgnoresCommaDecimalLocale)
{
    const std::locale previous
        = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    // The C locale needs de_DE.UTF-8 compiled: ctest makes it in the build
    // folder (the comma_locale fixture).
    const bool cComma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr
        && *std::localeconv()->decimal_point == ',';
    const auto dot = ParseVal("1.5");
    const auto comma = ParseVal("1,5");
    const std::string formattedDouble = FormatStr(1234.5);
    const std::string formattedCurrency = FormatStr(Currency { 12345000 });
    const double backToDouble = CurrencyToDouble(Currency { 9007199254740993 });
    std::setlocale(LC_ALL, "C");
    std::locale::global(previous);

    EXPECT_EQ(dot, 1.5);
    EXPECT_EQ(comma, 1.0);
    EXPECT_EQ(formattedDouble, " 1234.5");
    EXPECT_EQ(formattedCurrency, " 1234.5");
    EXPECT_EQ(backToDouble, 900719925474.0993);
#ifdef MENSUREL_REQUIRE_COMMA_LOCALE
    EXPECT_TRUE(cComma) << "de_DE.UTF-8 is not installed";
#else
    if (!cComma) GTEST_SKIP() << "de_DE.UTF-8 is not installed; C++ locale only";
#endif
}

// ------------------------------------------------------------ RoundCurrency

struct RoundRow {
    const char* name;
    double x;
    std::int64_t tenThousandths;
};

void PrintTo(const RoundRow& r, std::ostream* os)
{
    *os << r.name;
}

class RoundCurrencyTest : public testing::TestWithParam<RoundRow> { };

TEST_P(RoundCurrencyTest, RoundsProductHalfToEven)
{
    const auto got = RoundCurrency(GetParam().x);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->tenThousandths, GetParam().tenThousandths);
}

// Each tie is a double whose binary64 product by 10000 is exactly k + 0.5,
// flanked by its two neighbouring doubles, whose products just miss the tie.
INSTANTIATE_TEST_SUITE_P(Table, RoundCurrencyTest,
    testing::Values(RoundRow { "39.37007874015748 -> 39.3701", 39.37007874015748, 393701 },
        RoundRow { "25.39998628 -> 25.4000", 25.39998628, 254000 }, RoundRow { "0 -> 0", 0.0, 0 },
        RoundRow { "-0 -> 0", -0.0, 0 },
        RoundRow { "just below 0.5 -> 0", 4.9999999999999996e-05, 0 },
        RoundRow { "tie 0.5 -> 0", 5e-05, 0 },
        RoundRow { "just above 0.5 -> 1", 5.000000000000001e-05, 1 },
        RoundRow { "just below 2.5 -> 2", 0.00024999999999999995, 2 },
        RoundRow { "tie 2.5 -> 2, not 3", 0.00025, 2 },
        RoundRow { "just above 2.5 -> 3", 0.00025000000000000006, 3 },
        RoundRow { "just below 3.5 -> 3", 0.00034999999999999994, 3 },
        RoundRow { "tie 3.5 -> 4", 0.00035, 4 }, RoundRow { "tie -2.5 -> -2", -0.00025, -2 },
        RoundRow { "just beyond -2.5 -> -3", -0.00025000000000000006, -3 },
        RoundRow { "tie 12345.5 -> 12346", 1.23455, 12346 },
        RoundRow { "just below 12345.5 -> 12345", 1.2345499999999998, 12345 },
        RoundRow { "tie 2^52 - 0.5 -> 2^52", 450359962737.04956, 4503599627370496 },
        RoundRow { "below the tie 2^52 - 1", 450359962737.0495, 4503599627370495 },
        RoundRow { "most negative Currency", -922337203685477.5808,
            std::numeric_limits<std::int64_t>::min() },
        RoundRow { "largest double below 2^63 ten-thousandths",
            std::nextafter(922337203685477.5807, 0.0), 9223372036854774784 }));

TEST(RoundCurrency, FailsOutsideRangeAndOnNonFinite)
{
    // 922337203685477.5807 is exactly 2^63 / 10^4 in binary64: its product is
    // 2^63, one past the largest Currency.
    for (double x :
        { 922337203685477.5807, std::nextafter(-922337203685477.5808, -1e300), 1e300, -1e300,
            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::max() }) {
        EXPECT_FALSE(RoundCurrency(x).has_value()) << x;
    }
}

// --------------------------------------------------- CurrencyToDouble

TEST(CurrencyToDouble, IsTheNearestDouble)
{
    EXPECT_EQ(CurrencyToDouble(Currency { 393701 }), 39.3701);
    EXPECT_EQ(CurrencyToDouble(Currency { -20 }), -0.002);
    EXPECT_EQ(CurrencyToDouble(Currency { std::numeric_limits<std::int64_t>::max() }),
        922337203685477.5807);
    EXPECT_EQ(CurrencyToDouble(Currency { std::numeric_limits<std::int64_t>::min() }),
        -922337203685477.5808);
    // 2^53 + 1 ten-thousandths: converting the integer first would round it
    // to 2^53 and then divide, landing on a different double.
    EXPECT_EQ(CurrencyToDouble(Currency { 9007199254740993 }), 900719925474.0993);
    EXPECT_EQ(CurrencyToDouble(Currency { -9007199254740995 }), -900719925474.0995);
}

// ---------------------------------------------------------------- FormatStr

struct CurrencyFormatRow {
    std::int64_t tenThousandths;
    const char* text;
};

void PrintTo(const CurrencyFormatRow& r, std::ostream* os)
{
    *os << r.tenThousandths << "e-4 -> \"" << r.text << '"';
}

class FormatCurrencyTest : public testing::TestWithParam<CurrencyFormatRow> { };

TEST_P(FormatCurrencyTest, Renders)
{
    EXPECT_EQ(FormatStr(Currency { GetParam().tenThousandths }), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatCurrencyTest,
    testing::Values(CurrencyFormatRow { 0, " 0" }, CurrencyFormatRow { 10000000, " 1000" },
        CurrencyFormatRow { 254, " .0254" }, CurrencyFormatRow { -20, "-.002" },
        CurrencyFormatRow { 253999863, " 25399.9863" }, CurrencyFormatRow { 254000, " 25.4" },
        CurrencyFormatRow { 393701, " 39.3701" }, CurrencyFormatRow { 5000, " .5" },
        CurrencyFormatRow { -2500, "-.25" }, CurrencyFormatRow { 1, " .0001" },
        CurrencyFormatRow { -10000, "-1" },
        CurrencyFormatRow { std::numeric_limits<std::int64_t>::max(), " 922337203685477.5807" },
        CurrencyFormatRow { std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808" }));

struct DoubleFormatRow {
    double value;
    const char* text;
};

void PrintTo(const DoubleFormatRow& r, std::ostream* os)
{
    *os << r.value << " -> \"" << r.text << '"';
}

class FormatDoubleTest : public testing::TestWithParam<DoubleFormatRow> { };

TEST_P(FormatDoubleTest, RendersFifteenDigitsWithoutExponent)
{
    EXPECT_EQ(FormatStr(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatDoubleTest,
    testing::Values(DoubleFormatRow { 0.0, " 0" }, DoubleFormatRow { -0.0, " 0" },
        DoubleFormatRow { 0.5, " .5" }, DoubleFormatRow { -0.25, "-.25" },
        DoubleFormatRow { 25.0, " 25" }, DoubleFormatRow { 39.3701, " 39.3701" },
        DoubleFormatRow { 78.7402, " 78.7402" }, DoubleFormatRow { 0.0197, " .0197" },
        DoubleFormatRow { 99999999999.9999, " 99999999999.9999" },
        DoubleFormatRow { 123456789012.3456, " 123456789012.346" },
        DoubleFormatRow { -922337203685477.5808, "-922337203685478" },
        DoubleFormatRow { 1e20, " 100000000000000000000" },
        DoubleFormatRow { 1.5e-7, " .00000015" }, DoubleFormatRow { 0.1 + 0.2, " .3" },
        DoubleFormatRow { 100000000000000.25, " 100000000000000" },
        // 10^13 + 0.25 is exactly representable: a tie at 15 digits, to even.
        DoubleFormatRow { 10000000000000.25, " 10000000000000.2" },
        DoubleFormatRow { 10000000000000.75, " 10000000000000.8" }));

TEST(FormatStr, NonFiniteRendersEmpty)
{
    EXPECT_EQ(FormatStr(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(FormatStr(std::numeric_limits<double>::quiet_NaN()), "");
}

// ----------------------------------------------------------- TidyNumberText

struct TidyRow {
    const char* in;
    const char* out;
};

void PrintTo(const TidyRow& r, std::ostream* os)
{
    *os << '"' << r.in << "\" -> \"" << r.out << '"';
}

class TidyTest : public testing::TestWithParam<TidyRow> { };

TEST_P(TidyTest, Tidies)
{
    EXPECT_EQ(TidyNumberText(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, TidyTest,
    testing::Values(TidyRow { " 0", "0.0000" }, TidyRow { " .0254", "0.0254" },
        TidyRow { " 1000", "1000.0000" }, TidyRow { " 25.4", "25.4" },
        TidyRow { "-.0508", "-.0508" }, TidyRow { "-500", "-500.0000" }, TidyRow { " .5", "0.5" },
        TidyRow { "", ".0000" }));

} // namespace
} // namespace mensurel

namespace mensurel {
namespace {

// Rendering and tidying together give the field text the conversion writes;
// checked at the edges of every rule: zero, a lone fraction either side of
// zero, trailing zeros, whole numbers and both ends of the Currency range.
TEST(FieldText, TidiedFormatStrOfCurrency)
{
    const CurrencyFormatRow rows[] = { { 0, "0.0000" }, { 1, "0.0001" }, { -1, "-.0001" },
        { 9, "0.0009" }, { -10, "-.001" }, { 5000, "0.5" }, { -5000, "-.5" }, { 10000, "1.0000" },
        { -10000, "-1.0000" }, { 12345, "1.2345" }, { -2500, "-.25" }, { 254, "0.0254" },
        { 253999863, "25399.9863" }, { 393701, "39.3701" },
        { std::numeric_limits<std::int64_t>::max(), "922337203685477.5807" },
        { std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808" } };
    for (const CurrencyFormatRow& r : rows) {
        EXPECT_EQ(TidyNumberText(FormatStr(Currency { r.tenThousandths })), r.text)
            << r.tenThousandths;
    }
}

} // namespace
} // namespace mensurel
