#include "display/JsonValueLines.h"
#include "display/ProfileText.h"
#include "display/ProfilesJson.h"

#include "basekit/BKText.h"

#include <gtest/gtest.h>

namespace {

const char* kShared = R"({"profiles": [
   {"name": "Szerkezet", "before": {"color": [200, 200, 200], "transparency": 85},
    "during": {"color": [0, 230, 0], "transparency": [60, 0], "grow": "+z"}, "after": "model"},
   {"name": "Állvány", "before": "hide", "during": {"color": [255, 255, 128], "transparency": 40}, "after": "hide"},
   {"name": "Bontás lentről", "before": "model", "during": {"color": [204, 0, 0], "grow": "-z", "stagger": true}, "after": "hide"}
 ],
 "types": {"construction": "Szerkezet", "temporary": "Állvány"}})";

TEST(ProfilesFile, TheSharedShapeReadsAndGoesBackOutAsItCame) {
    ProfileSet set;
    ProfilesFileProblem problem;
    ASSERT_TRUE(ReadProfiles(kShared, set, problem)) << problem.kind << " line " << problem.line;
    ASSERT_EQ(set.Profiles().size(), 8u);
    const AppearanceProfile* s = set.Find("Szerkezet");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->before, PhaseLook::Coloured({200, 200, 200}, 85));
    EXPECT_EQ(s->during, PhaseLook::Coloured({0, 230, 0}, 60, 0));
    EXPECT_EQ(s->grow, GrowDirection::PlusZ);
    EXPECT_EQ(s->after, PhaseLook::Own());
    const AppearanceProfile* d = set.Find(BKFromUtf8("Bontás lentről"));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->stagger);
    EXPECT_EQ(d->grow, GrowDirection::MinusZ);
    EXPECT_EQ(set.TypeChoice(ConstructionType::Construction), "Szerkezet");
    EXPECT_EQ(set.TypeChoice(ConstructionType::Temporary), BKFromUtf8("Állvány"));
    EXPECT_EQ(set.TypeChoice(ConstructionType::Demolition), DefaultProfile(ConstructionType::Demolition).name);
    EXPECT_EQ(ProfileLine(*s), "profile \"Szerkezet\" before #C8C8C8/85 during #00E600/60-0 after model grow +z "
                               "early #0000FF/0 late #FF0000/0");

    // Written and read into fresh defaults, the same set; written again, the same bytes.
    const std::string text = WriteProfiles(set);
    ProfileSet again;
    ASSERT_TRUE(ReadProfiles(text, again, problem)) << problem.kind << " line " << problem.line;
    EXPECT_EQ(again.Profiles(), set.Profiles());
    for (int t = 0; t < kConstructionTypeCount; ++t)
        EXPECT_EQ(again.TypeChoice(static_cast<ConstructionType>(t)), set.TypeChoice(static_cast<ConstructionType>(t)));
    EXPECT_EQ(WriteProfiles(again), text);
    // The defaults alone go out and back as the defaults.
    ProfileSet defaults, back;
    ASSERT_TRUE(ReadProfiles(WriteProfiles(defaults), back, problem));
    EXPECT_TRUE(back.IsDefault());
}

TEST(ProfilesFile, EveryRefusalNamesItsLineAndChangesNothing) {
    struct Case {
        const char* text;
        ProfilesFileProblem::Kind kind;
        int line;
        const char* param;
    };
    const Case cases[] = {
        {"{\"profiles\": [\n  {\"name\": \"A\",\n  \"before\": hide}]}", ProfilesFileProblem::NotJson, 3, ""},
        {"[1, 2]", ProfilesFileProblem::NoProfiles, 1, ""},
        {"{\"types\": {}}", ProfilesFileProblem::NoProfiles, 1, ""},
        {"{\"profiles\": [],\n \"colours\": 1}", ProfilesFileProblem::UnknownKey, 2, "colours"},
        {"{\"profiles\": [{\"name\": \"A\", \"before\": \"hide\",\n \"during\": \"type\", \"after\": \"model\",\n \"glow\": 1}]}",
         ProfilesFileProblem::UnknownKey, 3, "glow"},
        {"{\"profiles\": [{\"name\": \"A\", \"before\": \"hide\",\n \"during\": {\"color\": [0, 256, 0]}, \"after\": \"model\"}]}",
         ProfilesFileProblem::BadValue, 2, "color"},
        {"{\"profiles\": [{\"name\": \"A\",\n \"before\": {\"color\": [0, 0, 0], \"transparency\": [10, 20]},\n \"during\": "
         "\"type\", \"after\": \"model\"}]}",
         ProfilesFileProblem::BadValue, 2, "transparency"},
        {"{\"profiles\": [{\"name\": \"A\", \"before\": \"hide\",\n \"during\": {\"look\": \"type\", \"grow\": \"up\"}, \"after\": "
         "\"model\"}]}",
         ProfilesFileProblem::BadValue, 2, "grow"},
        {"{\"profiles\": [{\"name\": \"A\", \"before\": \"hide\",\n \"during\": {\"grow\": \"+z\"}, \"after\": \"model\"}]}",
         ProfilesFileProblem::BadValue, 2, "during"},
        {"{\"profiles\": [{\"name\": \"A\", \"before\": \"hide\", \"during\": \"type\"}]}", ProfilesFileProblem::BadValue, 1, "after"},
        {"{\"profiles\": [{\"name\": \"\", \"before\": \"hide\", \"during\": \"type\", \"after\": \"hide\"}]}",
         ProfilesFileProblem::BadValue, 1, "name"},
        {"{\"profiles\": [\n{\"name\": \"A\", \"before\": \"hide\", \"during\": \"type\", \"after\": \"hide\"},\n{\"name\": \"A\", "
         "\"before\": \"hide\", \"during\": \"type\", \"after\": \"hide\"}]}",
         ProfilesFileProblem::NameTwice, 3, "A"},
        {"{\"profiles\": [],\n \"types\": {\n \"construction\": \"Nincs\"}}", ProfilesFileProblem::UnknownProfile, 3, "Nincs"},
        {"{\"profiles\": [],\n \"types\": {\n \"scaffold\": \"Építés\"}}", ProfilesFileProblem::UnknownKey, 3, "scaffold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ProfileSet set;
        ProfilesFileProblem problem;
        EXPECT_FALSE(ReadProfiles(c.text, set, problem));
        EXPECT_EQ(problem.kind, c.kind);
        EXPECT_EQ(problem.line, c.line);
        if (*c.param) {
            ASSERT_EQ(problem.params.size(), 1u);
            EXPECT_EQ(problem.params[0], BKFromUtf8(c.param));
        }
        EXPECT_TRUE(set.IsDefault());
    }
}

TEST(ProfilesFile, ValueLinesFollowPointersThroughNesting) {
    const auto lines = JsonValueLines("\xEF\xBB\xBF{\"a\": [1,\n 2, {\"b\\\"\": \n\"x\"}],\n \"c\": {}}");
    EXPECT_EQ(lines.at(""), 1);
    EXPECT_EQ(lines.at("/a/0"), 1);
    EXPECT_EQ(lines.at("/a/1"), 2);
    EXPECT_EQ(lines.at("/a/2/b\\\""), 3);
    EXPECT_EQ(lines.at("/c"), 4);
    EXPECT_EQ(LineOf(lines, "/a/2/zz/0"), 2);
    EXPECT_TRUE(JsonValueLines("").empty());
    JsonValueLines("{\"a\": [1, {\"b\": ");
    JsonValueLines("]]]}}}");
}

} // namespace
