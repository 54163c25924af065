// The four unit conversions: the text of one field gives the three other
// fields the same length in their units.
#pragma once

#include <string>

namespace mensurel {

// The four fields, named after their text boxes.
enum class UnitField { inchs, mils, mm, ums };

// The four field texts, UTF-8, one member per field.
struct FieldTexts {
    std::string inchs;
    std::string mils;
    std::string mm;
    std::string ums;

    std::string& operator[](UnitField f) noexcept;
    const std::string& operator[](UnitField f) const noexcept;
    friend bool operator==(const FieldTexts&, const FieldTexts&) = default;
};

// Reads the text of `from`, converts it and writes the three other fields.
// The source field is never written. Each source field has its own chain of
// binary64 arithmetic, and the rounding points of each chain show in the
// digits, so the chains must not be "simplified":
//
//   inchs: m = v*1000; d = m/39.3701; ums = R(d*1000); mils = R(m); mm = R(d)
//   mils:  d = v/39.3701; inchs = R(v/1000); ums = R(d*1000); mm = R(d)
//   mm:    p = D(R(v/0.0254)); inchs = R(p/1000); ums = R(v*1000); mils = p
//   ums:   d = v/1000; p = D(R(d/0.0254)); inchs = R(p/1000); mm = R(d);
//          mils = p
//
// with R = RoundCurrency, D = CurrencyToDouble; every result is rendered with
// FormatStr (the double overload for the mils of mm and ums) and tidied with
// TidyNumberText. 39.3701 is the literal, not 1/0.0254: 1 inch gives
// "25.4" mm but "25399.9863" um.
//   inchs "1"  -> mils "1000.0000", mm "25.4", ums "25399.9863"
//   inchs "-1" -> mils "-1000.0000", mm "-25.4", ums "-25399.9863"
//   mm "2"     -> mils "78.7402", inchs "0.0787", ums "2000.0000"
//   mils "-2"  -> mm "-.0508", inchs "-.002", ums "-50.8"
//   any field "" or "abc" -> the three others "0.0000"
//
// Returns false, and writes nothing, when the number is beyond the binary64
// range or a result falls outside the Currency range (about 3.6e10 inches);
// true after writing the three texts. Everything is computed before the
// first write, so a failure (out of memory included) leaves the texts as
// they were.
bool ConvertFromField(UnitField from, FieldTexts& texts) noexcept;

} // namespace mensurel
