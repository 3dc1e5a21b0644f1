#include "basekit/BKMemory.h"
#include "basekit/BKPattern.h"
#include "basekit/BKResources.h"
#include "basekit/BKText.h"
#include "basekit/BKTime.h"
#include "bytes/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Blob(std::initializer_list<std::pair<const char*, std::vector<uint8_t>>> entries) {
    std::vector<uint8_t> b = {'B', 'V', 'R', 'S'};
    LE::Append<uint32_t>(b, static_cast<uint32_t>(entries.size()));
    int16_t id = 100;
    for (auto& [type, data] : entries) {
        b.insert(b.end(), type, type + 4);
        LE::Append<int16_t>(b, id++);
        LE::Append<uint16_t>(b, 0);
        LE::Append<uint32_t>(b, static_cast<uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

std::vector<uint8_t> StringList(std::initializer_list<const char*> items) {
    std::vector<uint8_t> body;
    for (const char* s : items) {
        body.insert(body.end(), s, s + std::strlen(s));
        body.push_back(0);
    }
    std::vector<uint8_t> out;
    LE::Append<uint32_t>(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(BKMemory, HandlesGrowAndFree) {
    size_t live = BKLiveHandleCount();
    BKHandle h = BKNewHandle(4);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BKHandleSize(h), 4u);
    BKHandleData(h)[3] = 9;
    ASSERT_TRUE(BKSetHandleSize(h, 100));
    EXPECT_EQ(BKHandleData(h)[3], 9);
    EXPECT_EQ(BKHandleData(h)[99], 0);
    BKDisposeHandle(h);
    EXPECT_EQ(BKHandleData(h), nullptr);
    EXPECT_EQ(BKHandleSize(h), 0u);
    EXPECT_FALSE(BKSetHandleSize(h, 1));
    BKDisposeHandle(0);
    EXPECT_EQ(BKLiveHandleCount(), live);
}

TEST(BKMemory, AWrappedCounterPassesOverLiveHandles) {
    BKSetNextHandleForTesting(UINT32_MAX - 1);
    BKHandle high = BKNewHandle(1);
    EXPECT_EQ(high, UINT32_MAX - 1);
    BKSetNextHandleForTesting(1);
    BKHandle a = BKNewHandle(1), b = BKNewHandle(1);
    // The counter comes round to the first of them while both live; neither may be given again.
    BKSetNextHandleForTesting(a);
    BKHandle c = BKNewHandle(1);
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    BKSetNextHandleForTesting(UINT32_MAX - 1);
    BKHandle d = BKNewHandle(1), e = BKNewHandle(1);
    EXPECT_EQ(d, UINT32_MAX);
    EXPECT_NE(e, 0u) << "0 is no block";
    EXPECT_NE(e, a);
    EXPECT_NE(e, b);
    EXPECT_NE(e, c);
    for (BKHandle h : {high, a, b, c, d, e}) BKDisposeHandle(h);
}

TEST(BKText, ConversionsRoundTripTheCodePage) {
    const char* hungarian = "Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP";
    std::string cp = BKFromUtf8(hungarian);
    EXPECT_EQ(cp.size(), std::string("Arvizturo tukorfurogep ARVIZTURO TUKORFUROGEP").size());
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xC1); // Á
    EXPECT_EQ(BKToUtf8(cp), hungarian);
    EXPECT_EQ(BKFromUtf16(BKToUtf16(cp)), cp);
    EXPECT_EQ(BKFromUtf8("日本"), "??");
    EXPECT_EQ(BKFromUtf8("\xC3"), "?"); // cut sequence

    EXPECT_FALSE(BKFirstUnmappable(hungarian));
    auto bad = BKFirstUnmappable("ab-日本");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->offset, 3u);
    EXPECT_EQ(bad->length, 3u);
    EXPECT_EQ(bad->character, U'日');
    ASSERT_TRUE(BKFirstUnmappable("x\xC3"));
    EXPECT_EQ(BKFirstUnmappable("x\xC3")->character, U'\uFFFD');
}

TEST(BKText, CollationIgnoresCaseAndIsTotal) {
    auto cmp = [](const char* a, const char* b) {
        return BKCompareText(BKFromUtf8(a), BKFromUtf8(b), BKCaseMode::Ignore);
    };
    EXPECT_EQ(cmp("Építés", "ÉPÍTÉS"), 0);
    EXPECT_LT(cmp("Bontás", "Építés"), 0);
    EXPECT_LT(cmp("Építés", "Felújítás"), 0);
    EXPECT_LT(cmp("ablak", "Ár"), 0);
    EXPECT_LT(cmp("abc", "ábc"), 0); // accent decides only between otherwise equal texts
    EXPECT_LT(cmp("ábc", "abd"), 0);
    EXPECT_LT(cmp("oz", "ö"), 0);    // ö is a letter after o
    EXPECT_LT(cmp("9", "a"), 0);
    EXPECT_LT(cmp("ab", "abc"), 0);
    EXPECT_NE(BKCompareText("a", "A", BKCaseMode::Sensitive), 0);
    // Hungarian letters of two and three characters, after their first letter.
    EXPECT_LT(cmp("cukor", "csak"), 0);
    EXPECT_LT(cmp("duda", "dzsem"), 0);
    EXPECT_LT(cmp("gumi", "gyár"), 0);
    EXPECT_LT(cmp("luk", "lyuk"), 0);
    EXPECT_LT(cmp("nulla", "nyár"), 0);
    EXPECT_LT(cmp("sör", "szék"), 0);
    EXPECT_LT(cmp("tűz", "tyúk"), 0);
    EXPECT_LT(cmp("zuhany", "zsák"), 0);
    EXPECT_LT(cmp("kor", "kór"), 0);
    EXPECT_LT(cmp("kór", "kos"), 0);
    EXPECT_EQ(cmp("Csempézés", "CSEMPÉZÉS"), 0);
    // Texts the collation holds equal are still ordered, and case-blind only where case differs.
    EXPECT_NE(BKCompareText("a\x01", "a", BKCaseMode::Ignore), 0);
    EXPECT_NE(BKCompareText("a\x01", "a", BKCaseMode::Sensitive), 0);
    // Antisymmetric over a mixed set.
    const char* words[] = {"a", "A", "á", "b", "ö", "ő", "o", "Ő", "-", " ", "1", "ß", "zs", "", "cs", "Cs", "c",
                           "ccs", "\x01", "z", "sz", "SZ"};
    for (const char* x : words)
        for (const char* y : words) {
            EXPECT_EQ(cmp(x, y), -cmp(y, x)) << x << " " << y;
            for (const char* z : words)
                if (cmp(x, y) < 0 && cmp(y, z) < 0) {
                    EXPECT_LT(cmp(x, z), 0) << x << " " << y << " " << z;
                }
        }
}

TEST(BKResources, LookupFollowsTheCurrentModule) {
    auto blobA = Blob({{"STR#", StringList({"egy", "ketto"})}});
    auto blobB = Blob({{"STR#", StringList({"one"})}});
    BKResModule a = BKAddResModule(blobA, "a");
    BKResModule b = BKAddResModule(blobB, "b");
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    std::string s;
    BKUseResModule(b);
    {
        BKResModuleScope scope(a);
        EXPECT_TRUE(BKGetIndString(s, 100, 2));
        EXPECT_EQ(s, "ketto");
        EXPECT_FALSE(BKGetIndString(s, 100, 3));
        EXPECT_FALSE(BKGetIndString(s, 100, 0));
        EXPECT_FALSE(BKGetIndString(s, 101, 1));
    }
    EXPECT_EQ(BKGetCurrentResModule(), b);
    EXPECT_TRUE(BKGetIndString(s, 100, 1));
    EXPECT_EQ(s, "one");
    BKRemoveResModule(b);
    EXPECT_EQ(BKGetCurrentResModule(), 0);
    BKRemoveResModule(a);
}

TEST(BKResources, MalformedBlobsAndEntriesAreRefused) {
    auto good = Blob({{"STR#", StringList({"x"})}});
    auto truncated = good;
    truncated.pop_back();
    EXPECT_EQ(BKAddResModule(truncated, "t"), 0);
    auto trailing = good;
    trailing.push_back(0);
    EXPECT_EQ(BKAddResModule(trailing, "t"), 0);
    auto badMagic = good;
    badMagic[0] = 'X';
    EXPECT_EQ(BKAddResModule(badMagic, "t"), 0);
    EXPECT_EQ(BKAddResModule({}, "t"), 0);

    // A string list whose byte count overstates its data, and one without a final terminator.
    std::vector<uint8_t> overstated = {50, 0, 0, 0, 'a', 0};
    std::vector<uint8_t> unterminated = {2, 0, 0, 0, 'a', 'b'};
    auto blob = Blob({{"STR#", overstated}, {"STR#", unterminated}, {"ALRT", {1, 0, 0, 0, 7}}});
    BKResModule m = BKAddResModule(blob, "m");
    ASSERT_NE(m, 0);
    BKResModuleScope scope(m);
    std::string s;
    EXPECT_FALSE(BKGetIndString(s, 100, 1));
    EXPECT_FALSE(BKGetIndString(s, 101, 1));
    BKAlertTemplate alert;
    EXPECT_FALSE(BKGetAlert(alert, 102));
    BKRemoveResModule(m);
}

TEST(BKTime, ValuesAreWallClockMinutes) {
    EXPECT_EQ(BKMakeTime(1970, 1, 1, 0, 0), 0);
    EXPECT_EQ(BKMakeTime(1970, 1, 2, 1, 1), 1440 + 61);
    EXPECT_FALSE(BKMakeTime(2009, 2, 29, 0, 0));
    BKTimeRecord r;
    ASSERT_EQ(BKTimeToRecord(*BKMakeTime(2040, 2, 29, 13, 7), 0, r), kBKTimeNoErr);
    EXPECT_EQ(r.year, 2040);
    EXPECT_EQ(r.month, 2);
    EXPECT_EQ(r.day, 29);
    EXPECT_EQ(r.hour, 13);
    EXPECT_EQ(r.minute, 7);
    EXPECT_EQ(r.dayOfWeek, 3); // Wednesday
    ASSERT_EQ(BKTimeToRecord(*BKMakeTime(1601, 1, 1, 0, 0), 1, r), kBKTimeNoErr);
    EXPECT_EQ(r.dayOfWeek, 1); // Monday
    int32_t v = 0;
    EXPECT_EQ(BKRecordToTime(r, 1, v), kBKTimeNoErr);
    EXPECT_EQ(v, *BKMakeTime(1601, 1, 1, 0, 0));
    EXPECT_NE(BKTimeToRecord(0, 2, r), kBKTimeNoErr);
    r.month = 13;
    EXPECT_NE(BKRecordToTime(r, 0, v), kBKTimeNoErr);
    EXPECT_FALSE(BKMakeTime(9000, 1, 1, 0, 0)); // past the 32-bit range

    BKSetFixedClock(12345);
    EXPECT_EQ(BKGetCurrentTime(), 12345);
    BKSetFixedClock(std::nullopt);
    EXPECT_GT(BKGetCurrentTime(), *BKMakeTime(2020, 1, 1, 0, 0));
    EXPECT_EQ(BKFormatDate(*BKMakeTime(2009, 3, 2, 8, 5), 0x100), "2009.03.02. 08:05");
}

} // namespace

TEST(BKMatchesPattern, StarsQuestionMarksAndLetterCase) {
    EXPECT_TRUE(BKMatchesPattern("IfcWallStandardCase", "IfcWall*"));
    EXPECT_TRUE(BKMatchesPattern("IfcWall", "ifcwall*"));
    EXPECT_FALSE(BKMatchesPattern("IfcWindow", "IfcWall*"));
    EXPECT_TRUE(BKMatchesPattern("Erdgeschoss", "*GESCHOSS"));
    EXPECT_TRUE(BKMatchesPattern("Földszint", "FÖLDSZINT"));
    EXPECT_TRUE(BKMatchesPattern("Ő", "?"));            // one character, not one byte
    EXPECT_FALSE(BKMatchesPattern("ab", "?"));
    EXPECT_TRUE(BKMatchesPattern("", "*"));
    EXPECT_FALSE(BKMatchesPattern("", "?"));
    EXPECT_TRUE(BKMatchesPattern("a*b", "a*b"));
    // The back-off: the first candidate for "b" is not the one that lets the rest match.
    EXPECT_TRUE(BKMatchesPattern("abcbd", "a*bd"));
    EXPECT_FALSE(BKMatchesPattern("abcbe", "a*bd"));
    EXPECT_TRUE(BKMatchesPattern("x\xff y", "x\xff*"));  // a malformed byte stands for itself
    EXPECT_FALSE(BKMatchesPattern("x\xfe", "x\xff"));
}
