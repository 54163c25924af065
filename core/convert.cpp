#include "mensurel/convert.h"

#include <optional>

#include "field_text.h"

#include "mensurel/number_text.h"

namespace mensurel {

namespace {

template<class Texts> auto& fieldOf(Texts& t, UnitField f) noexcept
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
    return fieldOf(*this, f);
}

const std::string& FieldTexts::operator[](UnitField f) const noexcept
{
    return fieldOf(*this, f);
}

namespace {

// The literal mils-per-millimetre constant (not 1/0.0254 = 39.37007874...).
constexpr double kMilsPerMm = 39.3701;
constexpr double kMmPerMil = 0.0254;
constexpr double kThousand = 1000.0;

// The three texts a conversion writes; the source field's stays empty.
using Results = FieldTexts;

// A rounded result, rendered and tidied into `out`; false outside the
// Currency range.
bool rounded(double x, std::string& out)
{
    const std::optional<Currency> c = RoundCurrency(x);
    if (!c) return false;
    assignFieldText(*c, out);
    return true;
}

bool fromInches(double v, Results& r)
{
    const double m = v * kThousand;
    const double d = m / kMilsPerMm;
    return rounded(d * kThousand, r.ums) && rounded(m, r.mils) && rounded(d, r.mm);
}

bool fromMils(double v, Results& r)
{
    const double d = v / kMilsPerMm;
    return rounded(v / kThousand, r.inchs) && rounded(d * kThousand, r.ums) && rounded(d, r.mm);
}

// Millimetres to mils rounded to four places, then inches from those
// rounded mils: inches are rounded twice on this route. The mils are shown
// with the double overload of FormatStr.
bool milsAndInchesFromMm(double d, Results& r)
{
    const std::optional<Currency> mils = RoundCurrency(d / kMmPerMil);
    if (!mils) return false;
    const double p = CurrencyToDouble(*mils);
    if (!rounded(p / kThousand, r.inchs)) return false;
    assignFieldText(p, r.mils);
    return true;
}

bool fromMm(double v, Results& r)
{
    return milsAndInchesFromMm(v, r) && rounded(v * kThousand, r.ums);
}

bool fromUms(double v, Results& r)
{
    const double d = v / kThousand;
    return milsAndInchesFromMm(d, r) && rounded(d, r.mm);
}

} // namespace

bool ConvertFromField(UnitField from, FieldTexts& texts) noexcept
try {
    const std::optional<double> v = ParseVal(texts[from]);
    if (!v) return false;
    Results r;
    bool ok = false;
    switch (from) {
    case UnitField::inchs: ok = fromInches(*v, r); break;
    case UnitField::mils: ok = fromMils(*v, r); break;
    case UnitField::mm: ok = fromMm(*v, r); break;
    case UnitField::ums: ok = fromUms(*v, r); break;
    }
    if (!ok) return false;
    // Everything is computed; now write, never the source field.
    for (const UnitField f : { UnitField::inchs, UnitField::mils, UnitField::mm, UnitField::ums }) {
        if (f != from) texts[f].swap(r[f]);
    }
    return true;
} catch (...) {
    return false; // out of memory before the first write: nothing written
}

} // namespace mensurel
