#include "host/storage/HexText.h"
#include "host/storage/JsonNesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StorageTest, HexRoundTripsEveryByteAndNamesItsFault) {
    std::vector<uint8_t> all(256);
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
    std::string text = EncodeHex(all);
    EXPECT_EQ(text.substr(0, 6), "000102");
    EXPECT_EQ(text.substr(text.size() - 4), "feff");
    std::vector<uint8_t> back;
    ASSERT_EQ(DecodeHex(text, back), HexFault::None);
    EXPECT_EQ(back, all);
    EXPECT_EQ(DecodeHex("0A0b", back), HexFault::None);
    EXPECT_EQ(back, (std::vector<uint8_t>{10, 11}));
    EXPECT_EQ(DecodeHex("abc", back), HexFault::OddLength);
    EXPECT_EQ(DecodeHex("0g", back), HexFault::NotADigit);
    EXPECT_EQ(DecodeHex("+1", back), HexFault::NotADigit);
    EXPECT_EQ(DecodeHex("", back), HexFault::None);
    EXPECT_TRUE(back.empty());
}

TEST(StorageTest, NestingCountsOnlyBracketsOutsideTexts) {
    EXPECT_FALSE(FindTooDeepNesting(R"({"a": [1, {"b": []}]})", 4));
    EXPECT_EQ(FindTooDeepNesting(R"({"a": [1, {"b": []}]})", 3), 16u);
    EXPECT_EQ(FindTooDeepNesting(R"({"a": [1, {"b": []}]})", 2), 10u);
    // Brackets inside a text, behind an escaped quote too, open nothing.
    EXPECT_FALSE(FindTooDeepNesting(R"(["[[[", "\"[[[{{"])", 1));
    // A stray closing bracket does not earn room for more.
    EXPECT_EQ(FindTooDeepNesting("]]][[", 1), 4u);
}

} // namespace
