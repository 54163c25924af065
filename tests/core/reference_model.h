// A slow, independent model of the converter for differential tests. It
// shares no code with the core: parsing goes through a regular expression
// and glibc's strtod in the "C" locale, rounding and rendering through exact
// 128-bit integer arithmetic on the binary64 bit patterns.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace reference {

// The four field texts, in the order inchs, mils, mm, ums.
using Texts = std::array<std::string, 4>;

std::optional<double> parse(const std::string& text);
// Ten-thousandths, or nullopt outside the 64-bit range.
std::optional<__int128> round(double x);
std::string renderTenThousandths(__int128 c);
std::string renderDouble(double p);
std::string tidy(const std::string& s);

// Converts from field `from` (0 inchs, 1 mils, 2 mm, 3 ums); nullopt when
// the conversion fails and nothing may be written.
std::optional<Texts> convert(int from, const Texts& texts);

} // namespace reference
