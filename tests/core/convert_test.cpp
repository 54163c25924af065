#include <gtest/gtest.h>

#include <string>

#include "mensurel/convert.h"

namespace mensurel {
namespace {

const char* name(UnitField f)
{
    switch (f) {
    case UnitField::inchs: return "inchs";
    case UnitField::mils: return "mils";
    case UnitField::mm: return "mm";
    case UnitField::ums: return "ums";
    }
    return "?";
}

// Field texts that no conversion produces, to see what was written.
FieldTexts untouched()
{
    return { "in?", "mil?", "mm?", "um?" };
}

struct ConvertRow {
    UnitField from;
    const char* typed;
    const char* inchs;
    const char* mils;
    const char* mm;
    const char* ums;
};

void PrintTo(const ConvertRow& r, std::ostream* os)
{
    *os << name(r.from) << " \"" << r.typed << '"';
}

class ConvertFromFieldTest : public testing::TestWithParam<ConvertRow> { };

TEST_P(ConvertFromFieldTest, WritesTheThreeOtherFields)
{
    const ConvertRow& row = GetParam();
    FieldTexts texts = untouched();
    texts[row.from] = row.typed;
    ASSERT_TRUE(ConvertFromField(row.from, texts));
    // The typed field keeps its text; the row gives nullptr for it.
    FieldTexts expected { row.inchs ? row.inchs : row.typed, row.mils ? row.mils : row.typed,
        row.mm ? row.mm : row.typed, row.ums ? row.ums : row.typed };
    EXPECT_EQ(texts, expected);
}

constexpr const char* kTyped = nullptr;
using UF = UnitField;

INSTANTIATE_TEST_SUITE_P(Table, ConvertFromFieldTest,
    testing::Values(ConvertRow { UF::inchs, "1", kTyped, "1000.0000", "25.4", "25399.9863" },
        ConvertRow { UF::inchs, "0.001", kTyped, "1.0000", "0.0254", "25.4" },
        ConvertRow { UF::inchs, "-0.5", kTyped, "-500.0000", "-12.7", "-12699.9931" },
        // -1 converts like any other number.
        ConvertRow { UF::inchs, "-1", kTyped, "-1000.0000", "-25.4", "-25399.9863" },
        ConvertRow { UF::inchs, "", kTyped, "0.0000", "0.0000", "0.0000" },
        ConvertRow { UF::inchs, "abc", kTyped, "0.0000", "0.0000", "0.0000" },
        ConvertRow { UF::inchs, "1.50", kTyped, "1500.0000", "38.1", "38099.9794" },
        ConvertRow { UF::mils, "1", "0.001", kTyped, "0.0254", "25.4" },
        ConvertRow { UF::mils, "39.3701", "0.0394", kTyped, "1.0000", "1000.0000" },
        ConvertRow { UF::mils, "-2", "-.002", kTyped, "-.0508", "-50.8" },
        ConvertRow { UF::mils, "-1", "-.001", kTyped, "-.0254", "-25.4" },
        ConvertRow { UF::mm, "1", "0.0394", "39.3701", kTyped, "1000.0000" },
        ConvertRow { UF::mm, "25.4", "1.0000", "1000.0000", kTyped, "25400.0000" },
        ConvertRow { UF::mm, "0.0005", "0.0000", "0.0197", kTyped, "0.5" },
        ConvertRow { UF::mm, "2", "0.0787", "78.7402", kTyped, "2000.0000" },
        ConvertRow { UF::mm, "1,5", "0.0394", "39.3701", kTyped, "1000.0000" },
        ConvertRow { UF::ums, "1000", "0.0394", "39.3701", "1.0000", kTyped },
        // -1000 um is -1 mm and converts like any other number.
        ConvertRow { UF::ums, "-1000", "-.0394", "-39.3701", "-1.0000", kTyped },
        ConvertRow { UF::ums, "-1", "0.0000", "-.0394", "-.001", kTyped },
        ConvertRow { UF::ums, "abc", "0.0000", "0.0000", "0.0000", kTyped }));

// The inches of mm and ums come from mils rounded to four places, so they
// are rounded twice: 1.2738097 mm is 50.14998... mils, shown as 50.15, whose
// 0.05015 inches round to 0.0502 where 1.2738097 / 25.4 itself would give
// 0.0501.
TEST(ConvertFromField, InchesFromMillimetresAreRoundedTwice)
{
    FieldTexts t = untouched();
    t.mm = "1.2738097";
    ASSERT_TRUE(ConvertFromField(UnitField::mm, t));
    EXPECT_EQ(t.mils, "50.15");
    EXPECT_EQ(t.inchs, "0.0502");
}

// The largest input of each field that still converts and the smallest
// that fails (the micrometres or mils leave the Currency range first),
// found by bisection over binary64 outside this code base.
struct EdgeRow {
    UnitField from;
    const char* lastGood;
    const char* firstBad;
};

void PrintTo(const EdgeRow& r, std::ostream* os)
{
    *os << name(r.from) << ' ' << r.lastGood << " / " << r.firstBad;
}

class OverflowEdgeTest : public testing::TestWithParam<EdgeRow> { };

TEST_P(OverflowEdgeTest, LastGoodConvertsFirstBadWritesNothing)
{
    const EdgeRow& row = GetParam();
    FieldTexts good = untouched();
    good[row.from] = row.lastGood;
    EXPECT_TRUE(ConvertFromField(row.from, good));
    for (UnitField f : { UF::inchs, UF::mils, UF::mm, UF::ums }) {
        if (f != row.from) {
            EXPECT_NE(good[f].find('.'), std::string::npos);
        }
    }

    FieldTexts bad = untouched();
    bad[row.from] = row.firstBad;
    const FieldTexts before = bad;
    EXPECT_FALSE(ConvertFromField(row.from, bad));
    EXPECT_EQ(bad, before);
}

INSTANTIATE_TEST_SUITE_P(Edges, OverflowEdgeTest,
    testing::Values(EdgeRow { UF::inchs, "36312507942.81762", "36312507942.81763" },
        EdgeRow { UF::inchs, "-36312507942.81763", "-36312507942.817635" },
        EdgeRow { UF::mils, "36312507942817.62", "36312507942817.625" },
        EdgeRow { UF::mils, "-36312507942817.625", "-36312507942817.63" },
        EdgeRow { UF::mm, "922337203685.4775", "922337203685.4777" },
        EdgeRow { UF::mm, "-922337203685.4777", "-922337203685.4778" },
        EdgeRow { UF::ums, "2.342736497361113e+16", "2.3427364973611132e+16" },
        EdgeRow { UF::ums, "-2.342736497361113e+16", "-2.3427364973611132e+16" }));

TEST(ConvertFromField, NumbersBeyondBinary64WriteNothing)
{
    for (UnitField f : { UF::inchs, UF::mils, UF::mm, UF::ums }) {
        for (const char* text : { "1e400", "-1e309" }) {
            FieldTexts t = untouched();
            t[f] = text;
            const FieldTexts before = t;
            EXPECT_FALSE(ConvertFromField(f, t)) << name(f) << ' ' << text;
            EXPECT_EQ(t, before);
        }
    }
}

TEST(ConvertFromField, LargeResultsKeepFifteenDigitsAndNoExponent)
{
    FieldTexts t = untouched();
    t.mm = "922337203685.4775";
    ASSERT_TRUE(ConvertFromField(UnitField::mm, t));
    EXPECT_EQ(t.ums, "922337203685477.4784");
    EXPECT_EQ(t.mils, "36312488334073.9"); // 15 significant digits
}

} // namespace
} // namespace mensurel
