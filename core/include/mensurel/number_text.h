// Number text and fixed-point rounding: the five operations every value the
// converter shows passes through. Pure functions: no state, no I/O, no
// dependence on the process locale, and no exceptions; failures come back as
// an empty std::optional.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mensurel {

// A signed 64-bit count of ten-thousandths: every value with at most four
// decimal places between -922337203685477.5808 and 922337203685477.5807.
// A struct rather than a bare integer so that FormatStr's two overloads can
// never be confused.
struct Currency {
    std::int64_t tenThousandths = 0;
    friend constexpr bool operator==(Currency, Currency) = default;
};

// Reads a field's text as a number.
//
// - Blanks, tabs and line feeds are dropped wherever they stand:
//   "1 2.5" -> 12.5, "- 5" -> -5, "1e 3" -> 1000.
// - Then the longest prefix of the form
//     [+|-] digits [. digits] [(E|e|D|d) [+|-] digits]
//   is read; the mantissa needs at least one digit. "." is the only decimal
//   point whatever the locale: "1,5" -> 1. An exponent marker without digits
//   after it is not part of the number: "1e" -> 1, "1e+" -> 1.
// - Any other character ends the number, non-ASCII bytes included
//   ("12abc" -> 12, "12µm" -> 12, full-width digits -> 0).
// - No leading number reads as 0: "" -> 0, "abc" -> 0, "." -> 0, "-" -> 0,
//   "&H10" -> 0 (radix prefixes are not read).
// - The result is the binary64 value nearest to the decimal number, ties to
//   even; a number too small for binary64 reads as a (signed) zero.
// - A number beyond the binary64 range ("1e400", "-1e309") gives nullopt.
// Runs in time linear in the text's length.
std::optional<double> ParseVal(std::string_view text) noexcept;

// Rounds x to ten-thousandths: the product x * 10000 is formed in binary64,
// then rounded to the nearest integer with exact ties going to the even one.
//   39.37007874015748 -> 39.3701;  25.39998628 -> 25.4000
//   Ties, where the binary64 product is exactly k + 0.5:
//   0.00025 (product 2.5) -> 0.0002, not 0.0003; 0.00035 (3.5) -> 0.0004;
//   -0.00025 -> -0.0002; 1.23455 (12345.5) -> 1.2346. The next double
//   above 0.00025 has a product just above 2.5 and gives 0.0003.
// Gives nullopt for NaN, infinities and results outside the Currency range
// (a product that rounds to 2^63 or beyond, or below -2^63).
std::optional<Currency> RoundCurrency(double x) noexcept;

// c / 10000 as the nearest binary64 value.
double CurrencyToDouble(Currency c) noexcept;

// Renders a Currency value: "-" or a blank, the integer part without leading
// zeros ("0" omitted when a fraction follows), then "." and the exact
// fractional digits without trailing zeros, none for a whole number.
//   0 -> " 0"; 1000 -> " 1000"; 0.0254 -> " .0254"; -0.002 -> "-.002";
//   25.4 -> " 25.4"; 25399.9863 -> " 25399.9863"
std::string FormatStr(Currency value);

// Renders a double like the Currency overload, with the digits of the value
// rounded to 15 significant digits (exact ties to even) and never an
// exponent: 0.5 -> " .5"; -0.25 -> "-.25"; 25 -> " 25";
// 123456789012.3456 -> " 123456789012.346"; 1e20 -> " 100000000000000000000".
// Negative zero renders " 0". NaN and infinities render as "" (the converter
// never passes them).
std::string FormatStr(double value);

// Turns a FormatStr result into field text:
// 1. a text starting with a blank and "." gets its first blank replaced by
//    "0": " .5" -> "0.5", " .0254" -> "0.0254";
// 2. otherwise every blank is removed: " 25.4" -> "25.4", "-.25" stays;
// 3. a result without "." gets ".0000" appended: " 1000" -> "1000.0000",
//    " 0" -> "0.0000", "-500" -> "-500.0000".
std::string TidyNumberText(std::string_view formatted);

} // namespace mensurel
