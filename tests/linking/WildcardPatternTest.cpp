#include "basekit/BKPattern.h"
#include "basekit/BKText.h"
#include "linking/WildcardPattern.h"
#include "WildcardCases.h"

#include <gtest/gtest.h>

namespace {

TEST(WildcardPatternTest, EveryCaseOfTheTable) {
    for (const WildcardCase& c : kWildcardCases) {
        WildcardPattern p(BKFromUtf8(c.pattern));
        std::string text = BKFromUtf8(c.text);
        EXPECT_EQ(p.Matches(text), c.matches) << c.pattern << " ~ " << c.text;
        EXPECT_EQ(p.MatchesFolded(FoldedCp1250(text)), c.matches) << c.pattern << " ~ " << c.text;
    }
}

// The host's finder (select-where) matches UTF-8 texts with BaseKit's pattern; both are held to
// the one table, so a rule and a query with the same pattern find the same elements.
TEST(WildcardPatternTest, TheHostsFinderAgrees) {
    for (const WildcardCase& c : kWildcardCases)
        EXPECT_EQ(BKMatchesPattern(c.text, c.pattern), c.matches) << c.pattern << " ~ " << c.text;
}

// The table agrees with the code page's own letters: a letter and its fold compare equal without
// case, and the fold of a fold is itself.
TEST(WildcardPatternTest, FoldingIsTheCodePagesLetterCase) {
    for (int b = 1; b < 256; ++b) {
        auto c = static_cast<uint8_t>(b);
        uint8_t f = FoldCp1250(c);
        EXPECT_EQ(FoldCp1250(f), f) << b;
        std::string one(1, static_cast<char>(c)), folded(1, static_cast<char>(f));
        EXPECT_EQ(BKCompareText(one, folded, BKCaseMode::Ignore), 0) << b;
    }
    EXPECT_EQ(FoldCp1250(0xD7), 0xD7); // the multiplication sign is no letter
    EXPECT_EQ(FoldedCp1250(BKFromUtf8("ŐÜÁ")), BKFromUtf8("őüá"));
}

TEST(WildcardPatternTest, LiteralPartsStandForThemselves) {
    WildcardPattern p("*(");
    p.AppendLiteral("a*b?");
    p.AppendPattern(")");
    EXPECT_TRUE(p.Matches("x (A*B?)"));
    EXPECT_FALSE(p.Matches("x (aXbY)"));
    WildcardPattern exact;
    exact.AppendLiteral("Fal*");
    EXPECT_TRUE(exact.IsLiteral());
    EXPECT_EQ(exact.Folded(), "fal*");
    EXPECT_FALSE(WildcardPattern("Fal*").IsLiteral());
}

} // namespace
