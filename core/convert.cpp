#include "mensurel/convert.h"

#include <optional>

#include "mensurel/number_text.h"

namespace mensurel {

namespace {

template<class Texts> auto& FieldOf(Texts& t, UnitField f) noexcept
{
    switch (f) {
    case UnitField::inchs: return t.inchs;
    case UnitField::mils: return t.mils;
    case UnitField::mm: return t.mm;
    case UnitField::ums: break;
    }
    return t.ums;
}

} // namespace

std::string& FieldTexts::operator[](UnitField f) noexcept
{
    return FieldOf(*this, f);
}

const std::string& FieldTexts::operator[](UnitField f) const noexcept
{
    return FieldOf(*this, f);
}

namespace {

// The literal mils-per-millimetre constant (not 1/0.0254 = 39.37007874...).
constexpr double kMilsPerMm = 39.3701;
constexpr double kMmPerMil = 0.0254;
constexpr double kThousand = 1000.0;

// A rounded result, rendered and tidied; nullopt outside the Currency range.
std::optional<std::string> Rounded(double x)
{
    const std::optional<Currency> c = RoundCurrency(x);
    if (!c) return std::nullopt;
    return TidyNumberText(FormatStr(*c));
}

// The three texts a conversion writes, in field order.
struct Results {
    std::optional<std::string> inchs, mils, mm, ums;
};

Results FromInches(double v)
{
    const double m = v * kThousand;
    const double d = m / kMilsPerMm;
    Results r;
    r.ums = Rounded(d * kThousand);
    r.mils = Rounded(m);
    r.mm = Rounded(d);
    return r;
}

Results FromMils(double v)
{
    const double d = v / kMilsPerMm;
    Results r;
    r.inchs = Rounded(v / kThousand);
    r.ums = Rounded(d * kThousand);
    r.mm = Rounded(d);
    return r;
}

// Millimetres to mils rounded to four places, then inches from those
// rounded mils: inches are rounded twice on this route.
void MilsAndInchesFromMm(double d, Results& r)
{
    const std::optional<Currency> mils = RoundCurrency(d / kMmPerMil);
    if (!mils) return;
    const double p = CurrencyToDouble(*mils);
    r.inchs = Rounded(p / kThousand);
    r.mils = TidyNumberText(FormatStr(p));
}

Results FromMm(double v)
{
    Results r;
    MilsAndInchesFromMm(v, r);
    r.ums = Rounded(v * kThousand);
    return r;
}

Results FromUms(double v)
{
    const double d = v / kThousand;
    Results r;
    MilsAndInchesFromMm(d, r);
    r.mm = Rounded(d);
    return r;
}

} // namespace

bool ConvertFromField(UnitField from, FieldTexts& texts) noexcept
try {
    const std::optional<double> v = ParseVal(texts[from]);
    if (!v) return false;
    Results r;
    switch (from) {
    case UnitField::inchs: r = FromInches(*v); break;
    case UnitField::mils: r = FromMils(*v); break;
    case UnitField::mm: r = FromMm(*v); break;
    case UnitField::ums: r = FromUms(*v); break;
    }
    std::optional<std::string>* const slots[] = { &r.inchs, &r.mils, &r.mm, &r.ums };
    const UnitField fields[] = { UnitField::inchs, UnitField::mils, UnitField::mm, UnitField::ums };
    for (int i = 0; i < 4; ++i) {
        if (fields[i] != from && !slots[i]->has_value()) return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (fields[i] != from) texts[fields[i]] = std::move(**slots[i]);
    }
    return true;
} catch (...) {
    return false; // out of memory before the first write: nothing written
}

} // namespace mensurel
