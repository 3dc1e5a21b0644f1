#include "basekit/BKText.h"
#include "linking/LinksCsv.h"

#include <gtest/gtest.h>

namespace {

LinksCsv Read(std::string_view bytes) {
    LinksCsv csv;
    EXPECT_TRUE(ReadLinksCsv(bytes, csv)) << bytes;
    return csv;
}

TEST(LinksCsvTest, BothSeparatorsAndTheHeaderNamesOfOtherTools) {
    for (const char* text : {"GUID;ID;Task ID;Task Name\r\n2O2Fr$t4X7Zf8NOew3FLOH;FAL-01;6;Falazás\r\n",
                             "IfcGUID,ElementId,TaskId,TaskName\n2O2Fr$t4X7Zf8NOew3FLOH,FAL-01,6,Falazás\n",
                             "task_name\tglobal_id\ttask\telement-id\nFalazás\t2O2Fr$t4X7Zf8NOew3FLOH\t6\tFAL-01\n"}) {
        LinksCsv csv = Read(text);
        ASSERT_EQ(csv.rows.size(), 1u) << text;
        const LinksCsvRow& r = csv.rows[0];
        EXPECT_EQ(r.line, 2u);
        EXPECT_EQ(r.globalId, "2O2Fr$t4X7Zf8NOew3FLOH");
        EXPECT_EQ(r.elementId, "FAL-01");
        EXPECT_EQ(r.taskId, "6");
        EXPECT_EQ(r.taskName, BKFromUtf8("Falazás"));
    }
    // Only an ID and a task column.
    LinksCsv few = Read("id;task\nFAL-01;Falazás\n");
    EXPECT_EQ(few.rows[0].elementId, "FAL-01");
    EXPECT_EQ(few.rows[0].taskId, BKFromUtf8("Falazás"));
    EXPECT_TRUE(few.rows[0].globalId.empty());
}

TEST(LinksCsvTest, Utf8AndWindows1250) {
    const std::string name = BKFromUtf8("Födém zsaluzása");
    LinksCsv utf8 = Read("\xEF\xBB\xBFID;TaskName\nF\xC3\x96" "D-1;F\xC3\xB6" "d\xC3\xA9m zsaluz\xC3\xA1sa\n");
    EXPECT_EQ(utf8.rows[0].taskName, name);
    EXPECT_EQ(utf8.rows[0].elementId, BKFromUtf8("FÖD-1"));
    LinksCsv noBom = Read("ID;TaskName\nx;F\xC3\xB6" "d\xC3\xA9m zsaluz\xC3\xA1sa\n");
    EXPECT_EQ(noBom.rows[0].taskName, name);
    LinksCsv cp1250 = Read("ID;TaskName\nx;" + name + "\n");
    EXPECT_EQ(cp1250.rows[0].taskName, name);
    EXPECT_EQ(cp1250.unmappable, 0u);
    LinksCsv lacking = Read("ID;TaskName\nx;\xE2\x9C\x93 k\xC3\xA9sz\n");
    EXPECT_EQ(lacking.rows[0].taskName, BKFromUtf8("? kész"));
    EXPECT_EQ(lacking.unmappable, 1u);
}

TEST(LinksCsvTest, QuotesLineBreaksAndLineNumbers) {
    LinksCsv csv = Read("ElementId;TaskName\r\n"
                        "\"FAL;01\";\"Fal \"\"A\"\"\"\r\n"
                        "\r\n"
                        "  FAL-02 ;\"két\r\nsoros\"\r\n"
                        ";;\r\n"
                        "FAL-03;x\r"
                        "FAL-04;\"y\"");
    ASSERT_EQ(csv.rows.size(), 4u);
    EXPECT_EQ(csv.rows[0].elementId, "FAL;01");
    EXPECT_EQ(csv.rows[0].taskName, "Fal \"A\"");
    EXPECT_EQ(csv.rows[1].line, 4u);
    EXPECT_EQ(csv.rows[1].elementId, "FAL-02");
    EXPECT_EQ(csv.rows[1].taskName, BKFromUtf8("két\r\nsoros"));
    // Rows without any text are no rows; the lines still count.
    EXPECT_EQ(csv.rows[2].line, 7u);
    EXPECT_EQ(csv.rows[2].elementId, "FAL-03");
    EXPECT_EQ(csv.rows[3].line, 8u);
    EXPECT_EQ(csv.rows[3].taskName, "y");
}

TEST(LinksCsvTest, AHeaderWithoutAnElementOrATaskColumnIsRefused) {
    LinksCsv csv;
    csv.rows.push_back({});
    for (const char* text : {"", "\n", "Name;Start\nx;y\n", "GlobalId;Name\nx;y\n", "Task;TaskName\n1;x\n"})
        EXPECT_FALSE(ReadLinksCsv(text, csv)) << text;
    EXPECT_EQ(csv.rows.size(), 1u);
}

TEST(LinksCsvTest, WrittenFilesReadBack) {
    LinksCsvWriter w;
    w.Add("2O2Fr$t4X7Zf8NOew3FLOH", BKFromUtf8("FAL;01"), 6, BKFromUtf8("Földszinti \"falazás\""));
    w.Add("0x", " lead", 7, "");
    EXPECT_EQ(w.Rows(), 2u);
    EXPECT_EQ(w.Text(), "\xEF\xBB\xBFGlobalId;ElementId;TaskId;TaskName\r\n"
                        "2O2Fr$t4X7Zf8NOew3FLOH;\"FAL;01\";6;\"F\xC3\xB6ldszinti \"\"falaz\xC3\xA1s\"\"\"\r\n"
                        "0x;\" lead\";7;\r\n");
    LinksCsv back = Read(w.Text());
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[0].elementId, BKFromUtf8("FAL;01"));
    EXPECT_EQ(back.rows[0].taskName, BKFromUtf8("Földszinti \"falazás\""));
    EXPECT_EQ(back.rows[1].elementId, " lead"); // quoted, so its blank is kept
    EXPECT_EQ(back.rows[1].taskId, "7");
}

} // namespace
