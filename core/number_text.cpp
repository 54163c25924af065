#include "mensurel/number_text.h"

#include "field_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace mensurel {
namespace {

bool isDropped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isExponentMark(char c)
{
    return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// Walks a text while skipping blanks, tabs and line feeds.
class Cursor {
public:
    explicit Cursor(std::string_view text)
        : text_(text)
    {
        skip();
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void take()
    {
        ++pos_;
        skip();
    }

private:
    void skip()
    {
        while (pos_ < text_.size() && isDropped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Copies the sign and mantissa at `in` to `out`, leaving out a "+" sign, and
// gives the decimal exponent of the mantissa's leading non-zero digit (below
// zero for a mantissa of zeros only), or nullopt when it has no digit.
std::optional<long long> readMantissa(Cursor& in, std::string& out)
{
    if (in.peek() == '-') out += '-';
    if (in.peek() == '-' || in.peek() == '+') in.take();
    long long digits = 0;
    long long point = -1; // digits before the ".", once one is read
    long long leading = -1; // digits before the first non-zero one
    for (char c = in.peek(); isDigit(c) || (c == '.' && point < 0); c = in.peek()) {
        if (c == '.') {
            point = digits;
        } else {
            if (c != '0' && leading < 0) leading = digits;
            ++digits;
        }
        out += c;
        in.take();
    }
    if (digits == 0) return std::nullopt;
    return (point < 0 ? digits : point) - (leading < 0 ? digits : leading) - 1;
}

// Copies an exponent at `in` to `out` as "e", its sign and digits, and gives
// its value, saturated far beyond the binary64 range. A marker without a
// digit after it is not part of the number: nothing is copied and 0 given.
long long readExponent(Cursor& in, std::string& out)
{
    if (!isExponentMark(in.peek())) return 0;
    const std::size_t mark = out.size();
    out += 'e';
    in.take();
    const bool negative = in.peek() == '-';
    if (negative || in.peek() == '+') {
        out += in.peek();
        in.take();
    }
    const std::size_t digitsFrom = out.size();
    long long value = 0;
    for (; isDigit(in.peek()); in.take()) {
        if (value < 1'000'000'000LL) value = value * 10 + (in.peek() - '0');
        out += in.peek();
    }
    if (out.size() == digitsFrom) out.resize(mark);
    return negative ? -value : value;
}

// std::from_chars reads the number: correctly rounded, locale-free. It
// reports overflow and underflow alike as out of range; a number whose
// leading digit stands below the units place can only have underflowed, and
// the nearest binary64 to it is a zero.
std::optional<double> nearestDouble(std::string_view number, long long leadExponent)
{
    double value = 0.0;
    const auto ec = std::from_chars(number.data(), number.data() + number.size(), value).ec;
    if (ec == std::errc {}) return value;
    if (ec == std::errc::result_out_of_range && leadExponent < 0)
        return number.front() == '-' ? -0.0 : 0.0;
    return std::nullopt;
}

} // namespace

std::optional<double> ParseVal(std::string_view text) noexcept
{
    // One walk rewrites the leading number for std::from_chars; the rewrite
    // is never longer than the text, so this is all the memory it takes.
    std::string number;
    try {
        number.reserve(text.size());
    } catch (...) {
        return std::nullopt; // out of memory: nothing is converted
    }
    Cursor in(text);
    const std::optional<long long> lead = readMantissa(in, number);
    if (!lead) return 0.0;
    const long long exponent = readExponent(in, number);
    return nearestDouble(number, *lead + exponent);
}

std::optional<Currency> RoundCurrency(double x) noexcept
{
    const double product = x * 10000.0;
    if (!std::isfinite(product)) return std::nullopt;
    // The Currency range is [-2^63, 2^63 - 1]; 2^63 itself must fail, and
    // (double)INT64_MAX is exactly 2^63.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    const double lower = std::floor(product);
    if (lower < -kTwoTo63 || lower >= kTwoTo63) return std::nullopt;
    // Round half to even without depending on the floating-point environment:
    // product - floor(product) is exact for every finite binary64.
    const double fraction = product - lower;
    auto rounded = static_cast<std::int64_t>(lower);
    if (fraction > 0.5 || (fraction == 0.5 && (rounded & 1) != 0)) {
        if (rounded == std::numeric_limits<std::int64_t>::max()) return std::nullopt;
        ++rounded;
    }
    return Currency { rounded };
}

namespace {

// Room for the longest FormatStr text: the smallest subnormal double renders
// as a sign, ".", 323 zeros and 15 digits.
using TextBuffer = std::array<char, 1 + 1 + 323 + 15>;

// The double's digit runs, whose lengths follow its exponent, go into the
// buffer through libc's memcpy and memset rather than the standard
// algorithms, which compile to the compiler's own built-ins: with
// _FORTIFY_SOURCE these calls are checked against the buffer's size at run
// time, so a text longer than the buffer stops the program instead of
// overwriting the stack. The size is known where the buffer is declared,
// hence the double's formatter is always inlined into its callers.
char* putText(char* p, std::string_view text) noexcept
{
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}
char* putZeros(char* p, int count) noexcept
{
    std::memset(p, '0', static_cast<std::size_t>(count));
    return p + count;
}

// The FormatStr text of a Currency value, written into `buffer`.
std::string_view formatText(Currency c, TextBuffer& buffer) noexcept
{
    const std::int64_t v = c.tenThousandths;
    const std::uint64_t magnitude = v < 0 ? std::uint64_t { 0 } - static_cast<std::uint64_t>(v)
                                          : static_cast<std::uint64_t>(v);
    const std::uint64_t whole = magnitude / 10000;
    const auto fraction = static_cast<unsigned>(magnitude % 10000);
    char* const end = buffer.data() + buffer.size();
    char* p = buffer.data();
    *p++ = v < 0 ? '-' : ' ';
    // The integer part, but no lone "0" before a fraction.
    if (whole != 0 || fraction == 0) p = std::to_chars(p, end, whole).ptr;
    if (fraction != 0) {
        *p++ = '.';
        // Digits until the rest is zero: no trailing zeros.
        for (unsigned scale = 1000, rest = fraction; rest != 0; rest %= scale, scale /= 10)
            *p++ = static_cast<char>('0' + (rest / scale));
    }
    return { buffer.data(), p };
}

// The FormatStr text of a double, written into `buffer` (or a constant).
[[gnu::always_inline]] inline std::string_view formatText(double value, TextBuffer& buffer) noexcept
{
    if (!std::isfinite(value)) return {};
    if (value == 0.0) return " 0";
    // A double that is the nearest one to a value of at most 15 significant
    // digits with four decimals renders as exactly that value, so the
    // doubles the converter passes below 10^11 take the exact integer path.
    if (std::fabs(value) < 1e11) {
        const std::optional<Currency> c = RoundCurrency(value);
        if (c && CurrencyToDouble(*c) == value) return formatText(*c, buffer);
    }
    // Fifteen significant digits in scientific form, d.dddddddddddddde[+-]x,
    // rounded correctly (ties to even) and independent of the locale.
    std::array<char, 32> sci {};
    const char* const sciEnd = std::to_chars(
        sci.data(), sci.data() + sci.size(), std::fabs(value), std::chars_format::scientific, 14)
                                   .ptr;
    int exponent = 0;
    std::from_chars(sci.data() + (sci[17] == '+' ? 18 : 17), sciEnd, exponent);
    sci[1] = sci[0]; // the 15 digits without the point, from sci[1]
    const std::string_view digits(sci.data() + 1, 15);
    // Place the point `integers` digits in, padding with zeros on the side
    // the digits do not reach.
    const int integers = exponent + 1;
    char* p = buffer.data();
    *p++ = value < 0 ? '-' : ' ';
    if (integers >= 15) {
        p = putText(p, digits);
        return { buffer.data(), putZeros(p, integers - 15) };
    }
    if (integers > 0) {
        p = putText(p, digits.substr(0, static_cast<std::size_t>(integers)));
        *p++ = '.';
        p = putText(p, digits.substr(static_cast<std::size_t>(integers)));
    } else {
        *p++ = '.';
        p = putZeros(p, -integers);
        p = putText(p, digits);
    }
    // The fraction loses its trailing zeros, and the point if none is left.
    while (p[-1] == '0') --p;
    if (p[-1] == '.') --p;
    return { buffer.data(), p };
}

// The rules of TidyNumberText, writing into `out`, which keeps its capacity.
void tidyInto(std::string_view formatted, std::string& out)
{
    out.assign(formatted);
    if (out.starts_with(" .")) {
        out[0] = '0'; // the first blank is the leading one
    } else {
        std::erase(out, ' ');
    }
    if (out.find('.') == std::string::npos) out += ".0000";
}

} // namespace

double CurrencyToDouble(Currency c) noexcept
{
    const std::int64_t v = c.tenThousandths;
    constexpr std::int64_t kExact = std::int64_t { 1 } << 53;
    // Below 2^53 the integer converts exactly and one division rounds once.
    if (v > -kExact && v < kExact) return static_cast<double>(v) / 10000.0;
    // Above it, read the exact decimal text back for a single correct
    // rounding; from_chars takes "-123.4" and "123.4" but not a leading blank.
    TextBuffer buffer;
    std::string_view text = formatText(c, buffer);
    if (text.front() == ' ') text.remove_prefix(1);
    double result = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

std::string FormatStr(Currency value)
{
    TextBuffer buffer;
    return std::string(formatText(value, buffer));
}

std::string FormatStr(double value)
{
    TextBuffer buffer;
    return std::string(formatText(value, buffer));
}

std::string TidyNumberText(std::string_view formatted)
{
    std::string out;
    tidyInto(formatted, out);
    return out;
}

void assignFieldText(Currency value, std::string& out)
{
    TextBuffer buffer;
    tidyInto(formatText(value, buffer), out);
}

void assignFieldText(double value, std::string& out)
{
    TextBuffer buffer;
    tidyInto(formatText(value, buffer), out);
}

} // namespace mensurel
