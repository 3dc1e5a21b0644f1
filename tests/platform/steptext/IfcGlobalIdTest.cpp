// A GlobalId is the UUID's 128 bits in IFC's base 64: the same element must get the same
// identifier every time, and text that is no GlobalId must not become one.
#include "steptext/IfcGlobalId.h"

#include <gtest/gtest.h>

#include <random>

TEST(IfcGlobalId, DecodesToTheUuidInCanonicalByteOrderAndBack) {
    auto project = DecodeIfcGlobalId("3$yw37zJH2UvYIJ4IjDFzt");
    ASSERT_TRUE(project);
    EXPECT_EQ(project->ToString(), "FFF3A0C7-F534-427B-9892-4C44AD34FF77");
    EXPECT_TRUE(DecodeIfcGlobalId("0000000000000000000000")->IsNull());
    EXPECT_EQ(DecodeIfcGlobalId("3$$$$$$$$$$$$$$$$$$$$$")->ToString(), "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF");
    for (const char* id : {"3$yw37zJH2UvYIJ4IjDFzt", "1eD3QeZNj1tRskKKcN6FdP", "0FRAPtqID7kRy$DVcyG4N5", "2_Aa9z$0000000000000zZ"})
        EXPECT_EQ(EncodeIfcGlobalId(*DecodeIfcGlobalId(id)), id);
    std::mt19937_64 random(7);
    for (int i = 0; i < 1000; ++i) {
        API_Guid g;
        for (auto& b : g.bytes) b = static_cast<uint8_t>(random());
        const std::string text = EncodeIfcGlobalId(g);
        ASSERT_TRUE(IsIfcGlobalIdText(text)) << text;
        ASSERT_EQ(DecodeIfcGlobalId(text), g) << text;
    }
}

TEST(IfcGlobalId, TheDigitCheckAgreesWithTheDecoder) {
    for (std::string_view text : {"", "1eD3QeZNj1tRskKKcN6Fd", "1eD3QeZNj1tRskKKcN6FdPP", "1eD3QeZNj1tRskKKcN6F-P",
                                  "1eD3QeZNj1tRskKKcN6F P", "1eD3QeZNj1tRskKKcN6F\xC3\xA9", "4000000000000000000000",
                                  "$000000000000000000000", "-000000000000000000000"}) {
        EXPECT_FALSE(DecodeIfcGlobalId(text)) << text;
        EXPECT_FALSE(IsIfcGlobalIdText(text)) << text;
    }
    EXPECT_FALSE(IsIfcGlobalIdText(std::string_view("1eD3QeZNj1tRskKKcN6F\0P", 22)));
    EXPECT_TRUE(IsIfcGlobalIdText("1Ws4DTask00000000000A1"));
    EXPECT_TRUE(IsIfcGlobalIdText("3$$$$$$$$$$$$$$$$$$$$$"));
}
