// A slow, independent model of the converter, the expected side of the
// differential tests.
//
// What it is: the field-text rules written out a second time, as directly as
// possible. A field's text is read through a regular expression and glibc's
// strtod in the "C" locale. Every binary64 operation of a conversion chain
// (x * 1000, m / 39.3701, d / 0.0254, x * 10000 inside the rounding, c / 10000
// back to a double) is computed exactly on the integers m * 2^e that the
// operands are, and the exact result is then rounded to the nearest binary64,
// ties to even. The decimal constants are the nearest binary64 of their
// digits, found the same way. Rounding to ten-thousandths, rendering with 15
// significant digits and tidying are exact 128-bit integer arithmetic.
//
// Why it is independent: it shares no code with the core, and no value of a
// chain passes through a floating-point instruction. Reading the bits of a
// double (memcpy) and strtod for the typed text are the only contact with
// doubles, so a compiler or flag fault that changes the core's arithmetic
// (excess precision, fused multiply-add contraction, reassociation or a
// reciprocal instead of a division, a constant folded differently) cannot
// change the model alike.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace reference {

// The four field texts, in the order inchs, mils, mm, ums.
using Texts = std::array<std::string, 4>;

// The binary64 operations, each rounded once to the nearest, ties to even.
// Operands are finite or infinite, never NaN; an overflow gives infinity.
double multiply(double a, double b);
double divide(double a, double b); // b != 0
// The nearest binary64 of a decimal written as digits with at most one ".".
double decimal(const char* text);

std::optional<double> parse(const std::string& text);
// Ten-thousandths, or nullopt outside the 64-bit range.
std::optional<__int128> round(double x);
// c / 10000 as the nearest binary64.
double toDouble(__int128 c);
std::string renderTenThousandths(__int128 c);
// For 0 and 10^-5 <= |p| < 10^15, every double that came from ten-thousandths;
// other values render as "(outside the model)".
std::string renderDouble(double p);
std::string tidy(const std::string& s);

// Converts from field `from` (0 inchs, 1 mils, 2 mm, 3 ums); nullopt when
// the conversion fails and nothing may be written.
std::optional<Texts> convert(int from, const Texts& texts);

} // namespace reference
