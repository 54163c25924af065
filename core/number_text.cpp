#include "mensurel/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace mensurel {
namespace {

bool IsDropped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsExponentMark(char c)
{
    return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// Walks a text while skipping blanks, tabs and line feeds.
class Cursor {
public:
    explicit Cursor(std::string_view text)
        : text_(text)
    {
        Skip();
    }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Advance()
    {
        ++pos_;
        Skip();
    }

private:
    void Skip()
    {
        while (pos_ < text_.size() && IsDropped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::optional<double> ParseVal(std::string_view text) noexcept
{
    // The accepted prefix is copied without blanks into a buffer that
    // std::from_chars reads: correctly rounded and independent of the locale.
    std::string number;
    bool negative = false;
    bool nonZero = false;
    // Decimal exponent of the leading non-zero digit, from these two counts;
    // used only to tell an overflow from an underflow.
    long long intSignificant = 0; // integer digits from the first non-zero
    long long fracLeadingZeros = 0; // zeros between "." and the first non-zero
    long long exp10 = 0; // the exponent's value, saturated
    try {
        Cursor in(text);
        if (in.Peek() == '+' || in.Peek() == '-') {
            negative = in.Peek() == '-';
            if (negative) number.push_back('-');
            in.Advance();
        }
        bool anyDigit = false;
        bool inFraction = false;
        for (;;) {
            const char c = in.Peek();
            if (IsDigit(c)) {
                anyDigit = true;
                if (!inFraction) {
                    if (nonZero || c != '0') {
                        nonZero = true;
                        ++intSignificant;
                    }
                } else if (!nonZero) {
                    if (c == '0') {
                        ++fracLeadingZeros;
                    } else {
                        nonZero = true;
                    }
                }
            } else if (c != '.' || inFraction) {
                break;
            } else {
                inFraction = true;
            }
            number.push_back(c);
            in.Advance();
        }
        if (!anyDigit) return 0.0;

        // An exponent counts only when at least one digit follows its marker.
        if (IsExponentMark(in.Peek())) {
            const std::size_t kept = number.size();
            number.push_back('e');
            in.Advance();
            bool exponentNegative = false;
            if (in.Peek() == '+' || in.Peek() == '-') {
                exponentNegative = in.Peek() == '-';
                if (exponentNegative) number.push_back('-');
                in.Advance();
            }
            bool exponentDigit = false;
            while (IsDigit(in.Peek())) {
                exponentDigit = true;
                if (exp10 < 1'000'000'000LL) exp10 = exp10 * 10 + (in.Peek() - '0');
                number.push_back(in.Peek());
                in.Advance();
            }
            if (exponentDigit) {
                if (exponentNegative) exp10 = -exp10;
            } else {
                number.resize(kept);
            }
        }
    } catch (...) {
        return std::nullopt; // out of memory while copying the text
    }

    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc {} && end == last) return value;
    if (ec != std::errc::result_out_of_range) return std::nullopt;
    // from_chars reports both directions as out of range. A number whose
    // leading digit stands below the units place can only have underflowed,
    // and the nearest binary64 to it is a zero.
    const long long lead = intSignificant > 0 ? intSignificant - 1 : -(fracLeadingZeros + 1);
    if (!nonZero || lead + exp10 < 0) return negative ? -0.0 : 0.0;
    return std::nullopt;
}

std::optional<Currency> RoundCurrency(double x) noexcept
{
    const double product = x * 10000.0;
    if (!std::isfinite(product)) return std::nullopt;
    // Round half to even without depending on the floating-point environment:
    // product - floor(product) is exact for every finite binary64.
    const double lower = std::floor(product);
    const double fraction = product - lower;
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) {
        rounded = lower + 1.0;
    }
    // The Currency range is [-2^63, 2^63 - 1]; 2^63 itself must fail, and
    // (double)INT64_MAX is exactly 2^63.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(rounded >= -kTwoTo63 && rounded < kTwoTo63)) return std::nullopt;
    return Currency { static_cast<std::int64_t>(rounded) };
}

namespace {

// Decimal digits of |c| / 10000 split at the point, without sign.
struct Ten4Digits {
    std::array<char, 24> buf {};
    std::string_view integer; // no leading zeros; empty for 0
    std::string_view fraction; // at most four digits, no trailing zeros
};

Ten4Digits SplitCurrency(std::uint64_t magnitude)
{
    Ten4Digits d;
    char* const end = d.buf.data() + d.buf.size();
    char* p = end;
    for (int i = 0; i < 4; ++i) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    char* const point = p;
    while (magnitude != 0) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    d.integer = std::string_view(p, static_cast<std::size_t>(point - p));
    std::size_t fractionLength = 4;
    while (fractionLength > 0 && point[fractionLength - 1] == '0') --fractionLength;
    d.fraction = std::string_view(point, fractionLength);
    return d;
}

std::string Render(bool negative, std::string_view integer, std::string_view fraction)
{
    std::string out;
    out.reserve(1 + integer.size() + 1 + fraction.size() + 1);
    out.push_back(negative ? '-' : ' ');
    if (integer.empty() && fraction.empty()) {
        out.push_back('0');
        return out;
    }
    out += integer;
    if (!fraction.empty()) {
        out.push_back('.');
        out += fraction;
    }
    return out;
}

} // namespace

double CurrencyToDouble(Currency c) noexcept
{
    const std::int64_t v = c.tenThousandths;
    constexpr std::int64_t kExact = std::int64_t { 1 } << 53;
    // Below 2^53 the integer converts exactly and one division rounds once.
    if (v > -kExact && v < kExact) return static_cast<double>(v) / 10000.0;
    // Above it, read the exact decimal text back for a single correct rounding.
    const bool negative = v < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t { 0 } - static_cast<std::uint64_t>(v)
                                             : static_cast<std::uint64_t>(v);
    const Ten4Digits d = SplitCurrency(magnitude);
    std::array<char, 32> text {};
    std::size_t n = 0;
    if (negative) text[n++] = '-';
    for (char ch : d.integer) text[n++] = ch;
    text[n++] = '.';
    for (char ch : d.fraction) text[n++] = ch;
    text[n++] = '0';
    double result = 0.0;
    std::from_chars(text.data(), text.data() + n, result);
    return result;
}

std::string FormatStr(Currency value)
{
    const std::int64_t v = value.tenThousandths;
    const bool negative = v < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t { 0 } - static_cast<std::uint64_t>(v)
                                             : static_cast<std::uint64_t>(v);
    const Ten4Digits d = SplitCurrency(magnitude);
    return Render(negative, d.integer, d.fraction);
}

std::string FormatStr(double value)
{
    if (!std::isfinite(value)) return {};
    if (value == 0.0) return " 0";
    // A double that is the nearest one to a value of at most 15 significant
    // digits with four decimals renders as exactly that value, so the
    // doubles the converter passes below 10^11 take the exact integer path.
    if (std::fabs(value) < 1e11) {
        const std::optional<Currency> c = RoundCurrency(value);
        if (c && CurrencyToDouble(*c) == value) return FormatStr(*c);
    }
    // Fifteen significant digits in scientific form, d.dddddddddddddde[+-]x,
    // rounded correctly (ties to even) and independent of the locale.
    std::array<char, 40> sci {};
    const auto r = std::to_chars(
        sci.data(), sci.data() + sci.size(), std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view text(sci.data(), static_cast<std::size_t>(r.ptr - sci.data()));
    const std::size_t e = text.find('e');
    std::string digits;
    digits.reserve(15);
    for (char c : text.substr(0, e)) {
        if (c != '.') digits.push_back(c);
    }
    int exponent = 0;
    std::from_chars(
        text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    // digits holds d1 d2 ... d15 with the value d1.d2...d15 * 10^exponent.
    std::string integer;
    std::string fraction;
    if (exponent >= 0) {
        const std::size_t intCount = static_cast<std::size_t>(exponent) + 1;
        if (intCount >= digits.size()) {
            integer = digits + std::string(intCount - digits.size(), '0');
        } else {
            integer = digits.substr(0, intCount);
            fraction = digits.substr(intCount);
        }
    } else {
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return Render(value < 0, integer, fraction);
}

std::string TidyNumberText(std::string_view formatted)
{
    std::string out;
    if (formatted.size() >= 2 && formatted[0] == ' ' && formatted[1] == '.') {
        out = formatted;
        out[out.find(' ')] = '0';
    } else {
        out.reserve(formatted.size() + 5);
        for (std::size_t start = 0;;) {
            const std::size_t blank = formatted.find(' ', start);
            out.append(formatted.substr(start, blank - start));
            if (blank == std::string_view::npos) break;
            start = blank + 1;
        }
    }
    if (out.find('.') == std::string::npos) out += ".0000";
    return out;
}

} // namespace mensurel
