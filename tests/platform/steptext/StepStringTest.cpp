// STEP strings both ways: what one program writes, the other must read back as it was, and a
// string from a file with any escape must not run past its end.
#include "steptext/StepString.h"
#include "steptext/StepUntyped.h"

#include <gtest/gtest.h>

TEST(StepString, EscapesWhatIsNotPlainAscii) {
    EXPECT_EQ(StepStringOf("Ő'k\\ű"), "'\\X2\\0150\\X0\\''k\\\\\\X2\\0171\\X0\\'");
    EXPECT_EQ(StepStringOf(""), "''");
    // Beyond the 16 bits as a surrogate pair; a control character as a blank, a broken sequence
    // and DEL as the replacement character.
    EXPECT_EQ(StepStringOf("\xF0\x9F\x8F\x97"), "'\\X2\\D83CDFD7\\X0\\'");
    EXPECT_EQ(StepStringOf("a\tb"), "'a\\X2\\0020\\X0\\b'");
    EXPECT_EQ(StepStringOf("\xC3"), "'\\X2\\FFFD\\X0\\'");
    EXPECT_EQ(StepStringOf("\x7F"), "'\\X2\\FFFD\\X0\\'");
}

TEST(StepString, ReadsBackWhatItWrites) {
    for (const char* text : {"Fő ütemterv 'a' \\", "", "''", "\\X2\\", "Ünnep \xF0\x9F\x8F\x97 vége", "ÁÉÍÓÖŐÚÜŰ"})
        EXPECT_EQ(StepString(StepStringOf(text)), text) << text;
}

TEST(StepString, DecodesEveryEscapeAndStopsAtTheEnd) {
    EXPECT_EQ(StepString("IFCLABEL('a''b')"), "a'b");
    EXPECT_EQ(StepString("'\\X\\E9t\\S\\a'"), "\xC3\xA9t\xC3\xA1");
    EXPECT_EQ(StepString("'\\X4\\0001F3D7\\X0\\'"), "\xF0\x9F\x8F\x97");
    EXPECT_EQ(StepString("'\\PA\\x'"), "x");
    // An escape cut short is kept as its characters.
    EXPECT_EQ(StepString("'\\X2\\0150'"), "\\X2\\0150");
    EXPECT_EQ(StepString("'\\X\\E'"), "\\X\\E");
    EXPECT_EQ(StepString("'\\S\\'"), "\\S\\");
    // A lone surrogate is no character.
    EXPECT_EQ(StepString("'\\X2\\DC00\\X0\\'"), "\xEF\xBF\xBD");
    EXPECT_FALSE(StepString("'"));
    EXPECT_FALSE(StepString("abc"));
    EXPECT_FALSE(StepString("$"));
}

TEST(StepUntyped, TakesTheValueOutOfItsType) {
    EXPECT_EQ(StepUntyped("IFCLABEL( /* c */ 'x' )"), "'x'");
    EXPECT_EQ(StepUntyped("'x'"), "'x'");
    EXPECT_EQ(StepUntyped("(1,2)"), "(1,2)");
    EXPECT_EQ(StepUntyped("IFC LABEL('x')"), "IFC LABEL('x')");
}
