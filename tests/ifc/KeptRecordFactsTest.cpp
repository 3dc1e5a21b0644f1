// Kept facts come back as they were read, properties packed in their order, only for the
// product and bodies they were read for, and a refusal leaves the product as it was.
#include "host/ifc/helper/KeptRecordFacts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

IfcProductData FactsOf(const std::string& tag, bool coloured) {
    IfcProductData p;
    p.description = "Wand \xC3\xA4u\xC3\x9F" "en " + tag;
    p.objectType = std::string("with\0nul", 8);
    p.layer = "";
    p.materials = {"Beton " + tag, "", "D\xC3\xA4mmung"};
    p.classifications = {"Uniformat: B2010 " + tag};
    p.properties = {{"Pset_WallCommon.IsExternal", "TRUE"}, {"Qto.Width", ""}};
    p.packedProperties.Add("Pset_WallCommon.Reference", tag);
    p.packedProperties.Add("", "empty key");
    if (coloured) {
        p.hasColour = true;
        p.rgb = {0.1, 0.25, 1.0 / 3.0};
        p.transparency = 0.7;
    }
    return p;
}

void ExpectSameFacts(const IfcProductData& given, const IfcProductData& read) {
    EXPECT_EQ(given.description, read.description);
    EXPECT_EQ(given.objectType, read.objectType);
    EXPECT_EQ(given.layer, read.layer);
    EXPECT_EQ(given.materials, read.materials);
    EXPECT_EQ(given.classifications, read.classifications);
    EXPECT_EQ(given.hasColour, read.hasColour);
    EXPECT_EQ(given.rgb, read.rgb);
    EXPECT_EQ(given.transparency, read.transparency);
    // Written to the stream as listed then packed, they are the same bytes when all are packed.
    EXPECT_TRUE(given.properties.empty());
    Pairs all = read.properties;
    for (auto& pair : read.packedProperties.Unpacked()) all.push_back(pair);
    EXPECT_EQ(given.packedProperties.Unpacked(), all);
}

} // namespace

TEST(KeptRecordFacts, GiveBackEachProductsFactsAsRead) {
    KeptRecordFacts kept;
    const IfcProductData a = FactsOf("a", true), b = FactsOf("b", false), none;
    kept.Keep(4, {17, 23}, a);
    kept.Keep(9, {}, none);
    kept.Keep(12, {31}, b);
    EXPECT_EQ(kept.Size(), 3u);
    for (int round = 0; round < 2; ++round) {
        IfcProductData given;
        ASSERT_TRUE(kept.Give(4, {17, 23}, given));
        ExpectSameFacts(given, a);
        IfcProductData empty;
        ASSERT_TRUE(kept.Give(9, {}, empty));
        ExpectSameFacts(empty, none);
        IfcProductData last;
        ASSERT_TRUE(kept.Give(12, {31}, last));
        ExpectSameFacts(last, b);
    }
}

TEST(KeptRecordFacts, RefuseOtherProductsOrBodiesAndLeaveTheProductAsItWas) {
    KeptRecordFacts kept;
    IfcProductData given;
    EXPECT_FALSE(kept.Give(0, {}, given));
    kept.Keep(5, {8, 9}, FactsOf("a", true));
    // Not past the last kept: the first one's facts stay.
    kept.Keep(5, {8, 9}, FactsOf("late", false));
    kept.Keep(2, {8, 9}, FactsOf("early", false));
    EXPECT_EQ(kept.Size(), 1u);

    given.description = "mine";
    given.materials = {"mine"};
    for (const auto& bodies : {std::vector<int>{8}, std::vector<int>{8, 9, 10}, std::vector<int>{9, 8}, std::vector<int>{}})
        EXPECT_FALSE(kept.Give(5, bodies, given));
    EXPECT_FALSE(kept.Give(2, {8, 9}, given));
    EXPECT_FALSE(kept.Give(6, {8, 9}, given));
    EXPECT_EQ(given.description, "mine");
    EXPECT_EQ(given.materials, std::vector<std::string>{"mine"});
    EXPECT_TRUE(given.packedProperties.Empty());
    ASSERT_TRUE(kept.Give(5, {8, 9}, given));
    ExpectSameFacts(given, FactsOf("a", true));
}
