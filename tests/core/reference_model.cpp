#include "reference_model.h"

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace reference {
namespace {

using i128 = __int128;
using u128 = unsigned __int128;

// A binary64 value, exactly: (-1)^negative * mantissa * 2^exponent.
struct Exact {
    bool negative = false;
    bool infinite = false;
    u128 mantissa = 0; // below 2^53
    int exponent = 0;
};

Exact decompose(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    Exact e;
    e.negative = (bits >> 63) != 0;
    e.infinite = biased == 0x7FF;
    e.mantissa = bits & ((std::uint64_t { 1 } << 52) - 1);
    if (biased == 0) {
        e.exponent = -1074;
    } else {
        e.mantissa += u128 { 1 } << 52;
        e.exponent = biased - 1075;
    }
    return e;
}

double fromBits(std::uint64_t bits)
{
    double x = 0;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

double infinity(bool negative)
{
    return fromBits((negative ? std::uint64_t { 1 } << 63 : 0) | std::uint64_t { 0x7FF } << 52);
}

int bitLength(u128 v)
{
    int n = 0;
    for (; v != 0; v >>= 1) ++n;
    return n;
}

// The nearest binary64, ties to even, of the exact value
// (-1)^negative * (mantissa + f) * 2^exponent, where f is 0 when `sticky`
// is false and strictly between 0 and 1 when it is true. A sticky value must
// carry at least 55 significant bits, so that f lies below the rounding bit.
double compose(bool negative, u128 mantissa, int exponent, bool sticky)
{
    const std::uint64_t sign = negative ? std::uint64_t { 1 } << 63 : 0;
    if (mantissa == 0) return fromBits(sign);
    // Shift to 53 significant bits, or fewer where the exponent reaches the
    // subnormal floor 2^-1074.
    int e = exponent + bitLength(mantissa) - 53;
    if (e < -1074) e = -1074;
    const int shift = e - exponent;
    u128 q = 0;
    if (shift <= 0) {
        q = mantissa << -shift;
    } else if (shift < 128) {
        q = mantissa >> shift;
        const u128 rest = mantissa - (q << shift);
        const u128 half = u128 { 1 } << (shift - 1);
        if (rest > half || (rest == half && (sticky || (q & 1) != 0))) ++q;
    } // else: far below half of the smallest subnormal
    if (q == u128 { 1 } << 53) {
        q >>= 1;
        ++e;
    }
    if (e > 971) return infinity(negative);
    if (q < u128 { 1 } << 52) return fromBits(sign | static_cast<std::uint64_t>(q)); // subnormal
    const std::uint64_t biased = static_cast<unsigned>(e + 1075);
    return fromBits(sign | biased << 52 | static_cast<std::uint64_t>(q - (u128 { 1 } << 52)));
}

// The nearest binary64 of num / den, ties to even; num < 2^127, 0 < den < 2^64.
double nearestQuotient(bool negative, u128 num, u128 den)
{
    if (num == 0) return compose(negative, 0, 0, false);
    const int shift = 127 - bitLength(num);
    const u128 scaled = num << shift;
    return compose(negative, scaled / den, -shift, scaled % den != 0);
}

u128 pow10(int n)
{
    u128 r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

std::string digits(u128 v)
{
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v > 0);
    return s;
}

// Renders (-1)^negative * value / 10^scale: a blank or "-", the integer part
// without leading zeros (none at all before a fraction), then "." and the
// fraction without trailing zeros.
std::string renderDecimal(bool negative, u128 value, int scale)
{
    while (scale > 0 && value % 10 == 0) {
        value /= 10;
        --scale;
    }
    std::string out(1, negative && value != 0 ? '-' : ' ');
    const u128 unit = pow10(scale);
    if (value / unit != 0 || value == 0) out += digits(value / unit);
    if (scale > 0) {
        out += '.';
        out += digits(value % unit + unit).substr(1); // with its leading zeros
    }
    return out;
}

// q rounded up when the remainder rest of a division by den is above half,
// or exactly half and q is odd.
u128 roundedHalfEven(u128 q, u128 rest, u128 den)
{
    return (2 * rest > den || (2 * rest == den && (q & 1) != 0)) ? q + 1 : q;
}

} // namespace

double multiply(double a, double b)
{
    const Exact x = decompose(a);
    const Exact y = decompose(b);
    const bool negative = x.negative != y.negative;
    if (x.infinite || y.infinite) return infinity(negative);
    return compose(negative, x.mantissa * y.mantissa, x.exponent + y.exponent, false);
}

double divide(double a, double b)
{
    const Exact x = decompose(a);
    const Exact y = decompose(b);
    const bool negative = x.negative != y.negative;
    if (x.infinite) return infinity(negative);
    if (x.mantissa == 0) return compose(negative, 0, 0, false);
    // A dividend of 127 bits over a divisor of at most 53 leaves a quotient
    // of at least 74 bits: the remainder is the sticky part.
    const int shift = 127 - bitLength(x.mantissa);
    const u128 num = x.mantissa << shift;
    return compose(
        negative, num / y.mantissa, x.exponent - shift - y.exponent, num % y.mantissa != 0);
}

double decimal(const char* text)
{
    u128 value = 0;
    int scale = -1; // digits after the point, once there is one
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '.') {
            scale = 0;
        } else {
            value = value * 10 + static_cast<unsigned>(*c - '0');
            if (scale >= 0) ++scale;
        }
    }
    return nearestQuotient(false, value, pow10(scale < 0 ? 0 : scale));
}

std::optional<double> parse(const std::string& text)
{
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    // sign, digits with at most one point (at least one digit), then an
    // exponent marker E or D, either case, only when digits follow it.
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
    if (errno == ERANGE && decompose(v).infinite) return std::nullopt;
    return v;
}

std::optional<i128> round(double x)
{
    static const double tenThousand = decimal("10000");
    const Exact p = decompose(multiply(x, tenThousand));
    if (p.infinite) return std::nullopt;
    u128 magnitude = 0;
    if (p.exponent >= 0) {
        if (p.exponent > 12) return std::nullopt; // at least 2^64
        magnitude = p.mantissa << p.exponent;
    } else if (p.exponent > -60) {
        const u128 unit = u128 { 1 } << -p.exponent;
        magnitude = roundedHalfEven(p.mantissa >> -p.exponent, p.mantissa % unit, unit);
    } // else below 2^-7: rounds to 0
    const u128 limit = u128 { 1 } << 63;
    if (magnitude > limit || (magnitude == limit && !p.negative)) return std::nullopt;
    return p.negative ? -static_cast<i128>(magnitude) : static_cast<i128>(magnitude);
}

double toDouble(i128 c)
{
    return nearestQuotient(c < 0, static_cast<u128>(c < 0 ? -c : c), 10000);
}

std::string renderTenThousandths(i128 c)
{
    return renderDecimal(c < 0, static_cast<u128>(c < 0 ? -c : c), 4);
}

std::string renderDouble(double p)
{
    const Exact e = decompose(p);
    if (e.mantissa == 0) return " 0";
    // |p| = num / 2^-exponent exactly, scaled by 10^scale until the integer
    // part has 15 digits, then rounded.
    if (e.infinite || e.exponent > 0 || e.exponent < -70) return "(outside the model)";
    const u128 den = u128 { 1 } << -e.exponent;
    u128 num = e.mantissa;
    if (num / den >= pow10(15)) return "(outside the model)";
    int scale = 0;
    while (num / den < pow10(14)) {
        num *= 10;
        ++scale;
    }
    u128 value = roundedHalfEven(num / den, num % den, den);
    if (value == pow10(15)) { // rounded up to 16 digits
        value /= 10;
        --scale;
    }
    return renderDecimal(e.negative, value, scale);
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

} // namespace

std::optional<Texts> convert(int from, const Texts& texts)
{
    const auto parsed = parse(texts[static_cast<size_t>(from)]);
    if (!parsed) return std::nullopt;
    static const double milsPerMm = decimal("39.3701");
    static const double mmPerMil = decimal("0.0254");
    static const double thousand = decimal("1000");
    // -1 converts like any other number: no value resets the fields.
    const double v = *parsed;
    std::optional<std::string> out[4];
    if (from == 0) {
        const double m = multiply(v, thousand);
        const double d = divide(m, milsPerMm);
        out[3] = roundedText(multiply(d, thousand));
        out[1] = roundedText(m);
        out[2] = roundedText(d);
    } else if (from == 1) {
        const double d = divide(v, milsPerMm);
        out[0] = roundedText(divide(v, thousand));
        out[3] = roundedText(multiply(d, thousand));
        out[2] = roundedText(d);
    } else {
        const double d = from == 2 ? v : divide(v, thousand);
        const auto mils = round(divide(d, mmPerMil));
        if (mils) {
            const double p = toDouble(*mils);
            out[0] = roundedText(divide(p, thousand));
            out[1] = tidy(renderDouble(p));
        }
        if (from == 2) {
            out[3] = roundedText(multiply(v, thousand));
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
