#include "reference_model.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <regex>

namespace reference {
namespace {

using i128 = __int128;

// A binary64 value as mantissa * 2^exponent, exactly.
struct Exact {
    i128 mantissa;
    int exponent;
};

Exact decompose(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    i128 m = static_cast<i128>(bits & ((std::uint64_t { 1 } << 52) - 1));
    int e;
    if (biased == 0) {
        e = -1074;
    } else {
        m += i128 { 1 } << 52;
        e = biased - 1075;
    }
    if (bits >> 63) m = -m;
    return { m, e };
}

std::string digits(i128 v)
{ // v >= 0
    if (v == 0) return "0";
    std::string s;
    while (v > 0) {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    }
    return s;
}

i128 Pow10(int n)
{
    i128 r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

} // namespace

std::optional<double> parse(const std::string& text)
{
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    static const std::regex number(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([EeDd][+-]?[0-9]+)?)");
    std::smatch m;
    if (!std::regex_search(s, m, number)) return 0.0;
    std::string n = m.str(0);
    for (char& c : n) {
        if (c == 'D' || c == 'd') c = 'e';
    }
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    errno = 0;
    const double v = strtod_l(n.c_str(), nullptr, c_locale);
    if (errno == ERANGE && std::isinf(v)) return std::nullopt;
    return v;
}

std::optional<i128> round(double x)
{
    const double p = x * 10000.0;
    if (!std::isfinite(p)) return std::nullopt;
    const Exact e = decompose(p);
    i128 r;
    if (e.exponent >= 0) {
        if (e.exponent > 12) return std::nullopt; // |p| >= 2^64
        r = e.mantissa * (i128 { 1 } << e.exponent);
    } else if (e.exponent < -60) {
        r = 0; // |p| < 2^-7
    } else {
        const i128 unit = i128 { 1 } << -e.exponent;
        const bool neg = e.mantissa < 0;
        const i128 mag = neg ? -e.mantissa : e.mantissa;
        i128 q = mag / unit;
        const i128 rem = mag % unit;
        if (2 * rem > unit || (2 * rem == unit && q % 2 == 1)) ++q;
        r = neg ? -q : q;
    }
    const i128 lo = -(i128 { 1 } << 63);
    if (r < lo || r > -(lo + 1)) return std::nullopt;
    return r;
}

std::string renderTenThousandths(i128 c)
{
    const bool neg = c < 0;
    const i128 mag = neg ? -c : c;
    std::string out(1, neg ? '-' : ' ');
    const i128 whole = mag / 10000;
    std::string frac = digits(mag % 10000 + 10000).substr(1);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    if (whole == 0 && frac.empty()) return out + "0";
    if (whole != 0) out += digits(whole);
    if (!frac.empty()) out += "." + frac;
    return out;
}

// Only for doubles that came from ten-thousandths, |p| < 2^63 / 10^4.
std::string renderDouble(double p)
{
    if (std::fabs(p) < 1e11) {
        // Exactly the ten-thousandths it came from: at most 15 digits.
        return renderTenThousandths(*round(p));
    }
    // Exact decimal expansion m * 2^e = m * 5^-e / 10^-e, rounded to 15
    // significant digits, ties to even.
    const Exact e = decompose(p);
    const bool neg = e.mantissa < 0;
    i128 mag = neg ? -e.mantissa : e.mantissa;
    int scale = 0; // value = mag / 10^scale
    if (e.exponent >= 0) {
        mag <<= e.exponent;
    } else {
        for (int i = 0; i < -e.exponent; ++i) mag *= 5;
        scale = -e.exponent;
    }
    const int len = static_cast<int>(digits(mag).size());
    const int drop = len - 15;
    if (drop > 0) {
        const i128 unit = Pow10(drop);
        i128 q = mag / unit;
        const i128 rem = mag % unit;
        if (2 * rem > unit || (2 * rem == unit && q % 2 == 1)) ++q;
        mag = q;
        scale -= drop;
    }
    while (scale > 0 && mag % 10 == 0) {
        mag /= 10;
        --scale;
    }
    std::string d = digits(mag);
    std::string out(1, neg ? '-' : ' ');
    if (scale <= 0) return out + d + std::string(static_cast<size_t>(-scale), '0');
    if (static_cast<int>(d.size()) <= scale) {
        return out + "." + std::string(static_cast<size_t>(scale) - d.size(), '0') + d;
    }
    return out + d.substr(0, d.size() - static_cast<size_t>(scale)) + "."
        + d.substr(d.size() - static_cast<size_t>(scale));
}

std::string tidy(const std::string& s)
{
    std::string out;
    if (s.rfind(" .", 0) == 0) {
        out = s;
        out[0] = '0';
    } else {
        for (char c : s) {
            if (c != ' ') out += c;
        }
    }
    return out.find('.') == std::string::npos ? out + ".0000" : out;
}

namespace {

std::optional<std::string> roundedText(double x)
{
    const auto c = round(x);
    if (!c) return std::nullopt;
    return tidy(renderTenThousandths(*c));
}

double toDouble(i128 c)
{
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string s = renderTenThousandths(c);
    return strtod_l(s.c_str(), nullptr, c_locale);
}

} // namespace

std::optional<Texts> convert(int from, const Texts& texts)
{
    const auto parsed = parse(texts[static_cast<size_t>(from)]);
    if (!parsed) return std::nullopt;
    const double v = *parsed;
    std::optional<std::string> out[4];
    if (from == 0) {
        const double m = v * 1000;
        const double d = m / 39.3701;
        out[3] = roundedText(d * 1000);
        out[1] = roundedText(m);
        out[2] = roundedText(d);
    } else if (from == 1) {
        const double d = v / 39.3701;
        out[0] = roundedText(v / 1000);
        out[3] = roundedText(d * 1000);
        out[2] = roundedText(d);
    } else {
        const double d = from == 2 ? v : v / 1000;
        const auto mils = round(d / 0.0254);
        if (mils) {
            const double p = toDouble(*mils);
            out[0] = roundedText(p / 1000);
            out[1] = tidy(renderDouble(p));
        }
        if (from == 2) {
            out[3] = roundedText(v * 1000);
        } else {
            out[2] = roundedText(d);
        }
    }
    Texts result = texts;
    for (int i = 0; i < 4; ++i) {
        if (i == from) continue;
        if (!out[i]) return std::nullopt;
        result[static_cast<size_t>(i)] = *out[i];
    }
    return result;
}

} // namespace reference
