#include "mensurel/number_text.h"

#include "field_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
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

// Walks a text while skipping blanks, tabs and line feeds, and remembers
// where the last character taken ended.
class Cursor {
public:
    explicit Cursor(std::string_view text)
        : text_(text)
    {
        Skip();
    }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Take()
    {
        taken_ = ++pos_;
        Skip();
    }
    std::size_t Taken() const { return taken_; }

private:
    void Skip()
    {
        while (pos_ < text_.size() && IsDropped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t taken_ = 0;
};

} // namespace

std::optional<double> ParseVal(std::string_view text) noexcept
{
    // First find the prefix that forms the number and what from_chars needs
    // to know beyond it: the decimal exponent of the leading non-zero digit,
    // which tells an overflow from an underflow.
    bool negative = false;
    bool nonZero = false;
    long long intSignificant = 0; // integer digits from the first non-zero
    long long fracLeadingZeros = 0; // zeros between "." and the first non-zero
    long long exp10 = 0; // the exponent's value, saturated
    Cursor in(text);
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Take();
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
        in.Take();
    }
    if (!anyDigit) return 0.0;
    std::size_t end = in.Taken();

    // An exponent counts only when at least one digit follows its marker.
    if (IsExponentMark(in.Peek())) {
        in.Take();
        bool exponentNegative = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            exponentNegative = in.Peek() == '-';
            in.Take();
        }
        bool exponentDigit = false;
        while (IsDigit(in.Peek())) {
            exponentDigit = true;
            if (exp10 < 1'000'000'000LL) exp10 = exp10 * 10 + (in.Peek() - '0');
            in.Take();
        }
        if (exponentDigit) {
            end = in.Taken();
            if (exponentNegative) exp10 = -exp10;
        }
    }

    // std::from_chars reads the prefix: correctly rounded, locale-free. It
    // takes neither blanks, a leading "+" nor a "D" exponent, so a prefix
    // with any of those is copied without them first.
    const std::string_view prefix = text.substr(0, end);
    std::string copy;
    std::string_view number = prefix;
    const bool needsCopy = prefix.front() == '+'
        || std::ranges::any_of(prefix, [](char c) { return IsDropped(c) || c == 'D' || c == 'd'; });
    if (needsCopy) {
        try {
            copy.reserve(prefix.size());
        } catch (...) {
            return std::nullopt; // out of memory: nothing is converted
        }
        for (const char c : prefix) {
            if (IsDropped(c) || (c == '+' && copy.empty())) continue;
            copy.push_back(c == 'D' || c == 'd' ? 'e' : c);
        }
        number = copy;
    }

    double value = 0.0;
    const char* const first = number.data();
    const char* const last = first + number.size();
    const auto [stop, ec] = std::from_chars(first, last, value);
    if (ec == std::errc {} && stop == last) return value;
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

// Writes a Currency value the way FormatStr renders it ("-" or a blank, the
// integer digits without a lone 0, "." and the fraction without trailing
// zeros) into `out`, which holds at least kCurrencyTextMax characters, and
// returns the length.
constexpr std::size_t kCurrencyTextMax = 1 + 15 + 1 + 4;

std::size_t WriteCurrencyText(char* out, Currency c) noexcept
{
    const std::int64_t v = c.tenThousandths;
    const std::uint64_t magnitude = v < 0 ? std::uint64_t { 0 } - static_cast<std::uint64_t>(v)
                                          : static_cast<std::uint64_t>(v);
    const std::uint64_t whole = magnitude / 10000;
    auto fraction = static_cast<unsigned>(magnitude % 10000);
    std::size_t n = 0;
    out[n++] = v < 0 ? '-' : ' ';
    if (magnitude == 0) {
        out[n++] = '0';
        return n;
    }
    if (whole != 0)
        n = static_cast<std::size_t>(std::to_chars(out + n, out + 1 + 15, whole).ptr - out);
    if (fraction != 0) {
        out[n++] = '.';
        for (unsigned scale = 1000; fraction != 0; scale /= 10) {
            out[n++] = static_cast<char>('0' + (fraction / scale));
            fraction %= scale;
        }
    }
    return n;
}

std::string Render(bool negative, std::string_view integer, std::string_view fraction)
{
    std::string out(1, negative ? '-' : ' ');
    if (integer.empty() && fraction.empty()) return out + '0';
    out += integer;
    if (!fraction.empty()) {
        out += '.';
        out += fraction;
    }
    return out;
}

// The rules of TidyNumberText, writing into `out`, which keeps its capacity.
void TidyInto(std::string_view formatted, std::string& out)
{
    out.assign(formatted);
    if (out.size() >= 2 && out[0] == ' ' && out[1] == '.') {
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
    std::array<char, kCurrencyTextMax> text;
    const std::size_t n = WriteCurrencyText(text.data(), c);
    const std::size_t skip = text[0] == ' ' ? 1 : 0;
    double result = 0.0;
    std::from_chars(text.data() + skip, text.data() + n, result);
    return result;
}

void AssignFieldText(Currency value, std::string& out)
{
    std::array<char, kCurrencyTextMax> text;
    const std::size_t length = WriteCurrencyText(text.data(), value);
    TidyInto({ text.data(), length }, out);
}

std::string FormatStr(Currency value)
{
    std::array<char, kCurrencyTextMax> text;
    const std::size_t length = WriteCurrencyText(text.data(), value);
    return { text.data(), length };
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
    TidyInto(formatted, out);
    return out;
}

} // namespace mensurel
