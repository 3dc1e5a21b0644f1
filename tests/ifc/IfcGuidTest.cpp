// A GlobalId is the UUID's 128 bits in IFC's base 64: the same element must get the same
// identifier every time, and text that is no GlobalId must not become one.
#include "host/ifc/building/IfcGuid.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

TEST(IfcGuid, DecodesToTheUuidInCanonicalByteOrder) {
    // Worked out independently with arbitrary-precision arithmetic.
    auto project = DecodeIfcGlobalId("3$yw37zJH2UvYIJ4IjDFzt");
    ASSERT_TRUE(project);
    EXPECT_EQ(project->ToString(), "FFF3A0C7-F534-427B-9892-4C44AD34FF77");
    auto wall = DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6FdP");
    ASSERT_TRUE(wall);
    EXPECT_EQ(wall->ToString(), "683436A8-8D7B-41DD-BDAE-51499718F9D9");
    EXPECT_EQ(wall->bytes[0], 0x68);
    EXPECT_EQ(wall->bytes[15], 0xD9);
    EXPECT_TRUE(DecodeIfcGlobalId("0000000000000000000000")->IsNull());
    EXPECT_EQ(DecodeIfcGlobalId("3$$$$$$$$$$$$$$$$$$$$$")->ToString(), "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF");
}

TEST(IfcGuid, EncodesBackToTheSameText) {
    for (const char* id : {"3$yw37zJH2UvYIJ4IjDFzt", "1eD3QeZNj1tRskKKcN6FdP", "0000000000000000000000",
                           "3$$$$$$$$$$$$$$$$$$$$$", "0FRAPtqID7kRy$DVcyG4N5", "2_Aa9z$0000000000000zZ"})
        EXPECT_EQ(EncodeIfcGlobalId(*DecodeIfcGlobalId(id)), id);
    std::mt19937_64 random(7);
    for (int i = 0; i < 1000; ++i) {
        API_Guid g;
        for (auto& b : g.bytes) b = static_cast<uint8_t>(random());
        std::string text = EncodeIfcGlobalId(g);
        ASSERT_EQ(text.size(), 22u);
        ASSERT_LE(text[0], '3');
        auto back = DecodeIfcGlobalId(text);
        ASSERT_TRUE(back);
        ASSERT_EQ(*back, g) << text;
    }
}

TEST(IfcGuid, RefusesWhatIsNoGlobalId) {
    EXPECT_FALSE(DecodeIfcGlobalId(""));
    EXPECT_FALSE(DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6Fd"));   // 21 characters
    EXPECT_FALSE(DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6FdPP")); // 23
    EXPECT_FALSE(DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6F-P"));  // outside the alphabet
    EXPECT_FALSE(DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6F P"));
    EXPECT_FALSE(DecodeIfcGlobalId(std::string_view("1eD3QeZNj1tRskKKcN6F\0P", 22)));
    EXPECT_FALSE(DecodeIfcGlobalId("1eD3QeZNj1tRskKKcN6F\xC3\xA9"));
    EXPECT_FALSE(DecodeIfcGlobalId("4000000000000000000000")); // more than 128 bits
    EXPECT_FALSE(DecodeIfcGlobalId("$000000000000000000000"));
}

TEST(IfcGuid, GivesAnOutOfRangeGlobalIdAGuidOfItsText) {
    EXPECT_TRUE(IsOutOfRangeIfcGlobalId("4000000000000000000000"));
    EXPECT_TRUE(IsOutOfRangeIfcGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8"));
    EXPECT_TRUE(IsOutOfRangeIfcGlobalId("$$$$$$$$$$$$$$$$$$$$$$"));
    EXPECT_FALSE(IsOutOfRangeIfcGlobalId("3$$$$$$$$$$$$$$$$$$$$$"));
    EXPECT_FALSE(IsOutOfRangeIfcGlobalId("Kq3vX0aTb9Rm1cZpL2wYe"));
    EXPECT_FALSE(IsOutOfRangeIfcGlobalId("Kq3vX0aTb9Rm1cZpL2w-e8"));

    const API_Guid g = GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 0);
    EXPECT_EQ(g, GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 0));
    EXPECT_NE(g, GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 1));
    // Texts alike but for the bits past 128 still differ.
    EXPECT_NE(g, GuidOfOutOfRangeGlobalId("Zq3vX0aTb9Rm1cZpL2wYe8", 0));
    // Fixed for good: a revision of the file must find the same elements.
    EXPECT_EQ(g.ToString(), "B4D01AE4-8F34-8C9B-88F5-B986D4D6AA10");
    std::mt19937_64 random(11);
    std::set<API_Guid> made;
    for (int i = 0; i < 2000; ++i) {
        std::string text(22, '0');
        text[0] = "456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$"[random() % 60];
        for (size_t k = 1; k < text.size(); ++k) text[k] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$"[random() % 64];
        API_Guid guid = GuidOfOutOfRangeGlobalId(text, 0);
        EXPECT_EQ(guid.bytes[6] >> 4, 8) << text; // a version 8 UUID of the RFC's variant
        EXPECT_EQ(guid.bytes[8] >> 6, 2) << text;
        made.insert(guid);
    }
    EXPECT_EQ(made.size(), 2000u);
}
