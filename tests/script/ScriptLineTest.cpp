// Splitting script lines into arguments and quoting transcript texts.
#include "host/script/ScriptLine.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

namespace {

Args Split(const std::string& line) {
    std::string error;
    auto args = SplitScriptLine(line, error);
    EXPECT_TRUE(args) << line << ": " << error;
    return args ? *args : Args{};
}

std::string SplitError(const std::string& line) {
    std::string error;
    EXPECT_FALSE(SplitScriptLine(line, error)) << line;
    return error;
}

} // namespace

TEST(ScriptLine, SplitsOnBlanksAndSkipsComments) {
    EXPECT_EQ(Split("select FAL-01  ABL-02\tZON-01\r"), (Args{"select", "FAL-01", "ABL-02", "ZON-01"}));
    EXPECT_EQ(Split(""), Args{});
    EXPECT_EQ(Split("   # only a comment"), Args{});
    EXPECT_EQ(Split("undo # and a remark"), Args{"undo"});
    // A hash inside an argument is part of it.
    EXPECT_EQ(Split("palette name A#1"), (Args{"palette", "name", "A#1"}));
}

TEST(ScriptLine, QuotedArgumentsKeepBlanksHashesAndEscapes) {
    EXPECT_EQ(Split(R"(layer "2D rajz" hide)"), (Args{"layer", "2D rajz", "hide"}));
    EXPECT_EQ(Split(R"(palette name "Fal # \"A\" C:\\x")"), (Args{"palette", "name", R"(Fal # "A" C:\x)"}));
    EXPECT_EQ(Split(R"(palette name "")"), (Args{"palette", "name", ""}));
    EXPECT_EQ(Split("palette name \"Födém\""), (Args{"palette", "name", "Födém"}));
}

TEST(ScriptLine, RefusesBrokenQuotes) {
    EXPECT_EQ(SplitError(R"(select "FAL-01)"), "unterminated quote");
    EXPECT_EQ(SplitError(R"(select "FAL-01\")"), "unterminated quote");
    EXPECT_EQ(SplitError(R"(select "a\nb")"), "bad escape in quoted argument");
    EXPECT_EQ(SplitError(R"(select "a\)"), "bad escape in quoted argument");
    EXPECT_EQ(SplitError(R"(select "a"b)"), "text right after a closing quote");
}

TEST(ScriptLine, TranscriptQuotesRoundTripThroughTheSplitter) {
    EXPECT_EQ(QuoteForTranscript("Fal"), "\"Fal\"");
    EXPECT_EQ(QuoteForTranscript("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(QuoteForTranscript("sor\nvége\r"), R"("sor\nvége\r")");
    for (const std::string text : {"", "Mutasd mind", "\"", "\\\\", "# nem megjegyzés"})
        EXPECT_EQ(Split("x " + QuoteForTranscript(text)), (Args{"x", text})) << text;
}

TEST(ScriptLine, AQuoteAfterAnEqualsSignQuotesTheValue) {
    EXPECT_EQ(Split(R"(select-where storey="Ground floor" and class=IfcWall*)"),
              (Args{"select-where", "storey=Ground floor", "and", "class=IfcWall*"}));
    EXPECT_EQ(Split(R"(x name="a \"b\" c")"), (Args{"x", R"(name=a "b" c)"}));
    EXPECT_EQ(Split(R"(x a"b)"), (Args{"x", R"(a"b)"})); // elsewhere a quote is a character
    EXPECT_EQ(SplitError(R"(x name="open)"), "unterminated quote");
    EXPECT_EQ(SplitError(R"(x name="a"b)"), "text right after a closing quote");
}
