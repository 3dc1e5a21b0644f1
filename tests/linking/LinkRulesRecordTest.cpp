#include "basekit/BKText.h"
#include "schedule/projectfile/LinkRulesRecord.h"

#include <gtest/gtest.h>

namespace {

LinkRules Sample() {
    LinkRules r;
    r.source = BKFromUtf8("szabályok.json");
    r.rules.push_back({RuleTasks::ById, {3, 4}, {}, {{"class", "IfcWall*"}, {"storey", BKFromUtf8("Földszint")}}, false});
    r.rules.push_back({RuleTasks::ByName, {}, "*Erdgeschoss*", {{"kind", "1,3"}, {"unlinked", ""}}, true});
    r.rules.push_back({RuleTasks::Each, {}, {}, {{"Pset_4D.TaskId", "{id}"}}, false});
    return r;
}

TEST(LinkRulesRecordTest, RoundTripAndTheDocumentedLayout) {
    std::vector<uint8_t> bytes = LinkRulesBytes(Sample());
    LinkRules back;
    ASSERT_TRUE(ReadLinkRulesBytes(bytes, back));
    EXPECT_EQ(back, Sample());
    // Source (2 + 14 bytes), rule count, then the first rule: by id, not replacing, two conditions,
    // two ids.
    const std::vector<uint8_t> head = {14, 0, 's', 'z', 'a', 'b', 0xE1, 'l', 'y', 'o', 'k', '.', 'j', 's', 'o', 'n',
                                       3,  0, 0,   0,   0,   0,   2,    0,   2,   0,   0,   0,   3,   0,   0,   0,
                                       4,  0, 0,   0,   5,   0,   'c',  'l', 'a', 's', 's'};
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(head.size())), head);
    EXPECT_EQ(LinkRulesBytes(LinkRules{}), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0}));
}

TEST(LinkRulesRecordTest, OnlyExactlyOneWellFormedRecordReads) {
    const std::vector<uint8_t> good = LinkRulesBytes(Sample());
    LinkRules out = Sample();
    out.source = "untouched";
    for (size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(ReadLinkRulesBytes(std::span<const uint8_t>(good.data(), cut), out)) << cut;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(ReadLinkRulesBytes(longer, out));
    auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = good;
        b[at] = value;
        return ReadLinkRulesBytes(b, out);
    };
    EXPECT_FALSE(changed(20, 3));  // a task form that does not exist
    EXPECT_FALSE(changed(21, 2));  // replace neither 0 nor 1
    EXPECT_FALSE(changed(22, 0));  // a rule without conditions
    EXPECT_FALSE(changed(28, 0));  // task id 0
    EXPECT_FALSE(changed(38, 'x')); // "xlass" is no key
    EXPECT_FALSE(changed(5, 0));   // a zero byte in a text
    EXPECT_EQ(out.source, "untouched");
    LinkRules kinds;
    kinds.rules.push_back({RuleTasks::Each, {}, {}, {{"kind", "1,x"}}, false});
    EXPECT_FALSE(ReadLinkRulesBytes(LinkRulesBytes(kinds), out));
    kinds.rules[0].elements[0] = {"linked", "1"};
    EXPECT_FALSE(ReadLinkRulesBytes(LinkRulesBytes(kinds), out));
}

TEST(LinkRulesRecordTest, ProfilesFollowTheRulesOnlyWhenOneNamesOne) {
    LinkRules r = Sample();
    const std::vector<uint8_t> plain = LinkRulesBytes(r);
    r.profiles = {"", "", ""};
    EXPECT_EQ(LinkRulesBytes(r), plain); // none named: the bytes as before
    r.profiles = {"", BKFromUtf8("Állvány"), ""};
    const std::vector<uint8_t> named = LinkRulesBytes(r);
    ASSERT_EQ(named.size(), plain.size() + 2 + 2 + BKFromUtf8("Állvány").size() + 2);
    LinkRules back;
    ASSERT_TRUE(ReadLinkRulesBytes(named, back));
    EXPECT_EQ(back, r);
    // Profiles that name nothing are not a form the writer gives.
    std::vector<uint8_t> empty = plain;
    empty.insert(empty.end(), {0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(ReadLinkRulesBytes(empty, back));
    std::vector<uint8_t> cut(named.begin(), named.end() - 1);
    EXPECT_FALSE(ReadLinkRulesBytes(cut, back));
}

} // namespace
