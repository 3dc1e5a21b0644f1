#include "schedule/ScheduleFileFixture.h"
#include "filekit/FKError.h"
#include "schedule/formats/ScheduleTextLines.h"

#include <clocale>

namespace {

using enum ConstructionType;

class ScheduleTextTest : public ScheduleFileTest {
protected:
    // A schedule text from lines given in UTF-8, each ended by CR LF.
    std::string Text(std::initializer_list<const char*> lines) {
        std::string out;
        for (const char* l : lines) out += BKFromUtf8(l) + "\r\n";
        return out;
    }
    bool Import(const std::string& bytes) {
        path = PathOf("import.txt");
        WriteBytes(path, bytes);
        return db.ImportScheduleText(path);
    }
    // A schedule the failures must leave alone.
    void OpenSomething() {
        db.AppendLoadedTask(MakeTask(7, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
        settings.SetProjectFilePath(PathOf("régi.csp"));
        settings.untitled = false;
    }
    void ExpectSomethingKept() {
        ASSERT_EQ(db.TaskCount(), 1u);
        EXPECT_EQ(db.Tasks()[0].id, 7);
        EXPECT_EQ(settings.projectFilePath, PathOf("régi.csp"));
        EXPECT_FALSE(settings.untitled);
    }
    std::string path;
    const char* header = "ID_v1\tName\tStart_Date\tFinish_Date";
};

TEST_F(ScheduleTextTest, ReadsTasksWithTypesNamesAndDays) {
    ASSERT_TRUE(Import(Text({header, "1\tB_Alapozás\t2009.03.02.\t2009.03.04.", "2\tD_Bontás\t2009.03.05.\t2009.03.05.",
                             "3\tr_Felújítás\t2009.03.06.\t", "4\tX_Alapozás\t\t2009.03.10.", "5\tT_Állvány\t2009.03.01.\t2009.04.01.",
                             "6\tF_\t2009.01.01.\t2009.12.31.", "7\tD_\t2009.03.02.\t", "8\t\t\t", "   "})));
    EXPECT_TRUE(DGShownDialogs().empty());
    EXPECT_TRUE(DGShownAlerts().empty());
    const auto& t = db.Tasks();
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0].id, 1);
    EXPECT_EQ(t[0].type, Construction);
    EXPECT_EQ(t[0].Name(), Cp("Alapozás"));
    EXPECT_EQ(t[0].start, DateTime(2009, 3, 2));
    EXPECT_EQ(t[0].finish, DateTime(2009, 3, 5)); // the end of the last day
    EXPECT_EQ(t[1].type, Demolition);
    EXPECT_EQ(t[1].finish, DateTime(2009, 3, 6));
    EXPECT_EQ(t[2].type, Renovation); // the letter in either case
    EXPECT_EQ(t[2].finish, t[2].start); // a start without a finish lasts no time
    EXPECT_EQ(t[3].type, Construction);
    EXPECT_EQ(t[3].Name(), Cp("X_Alapozás"));
    EXPECT_EQ(t[3].start, DateTime::Now()); // a finish without a start keeps the moment of the import
    EXPECT_EQ(t[4].type, Temporary);
    EXPECT_EQ(t[5].type, Fixed);
    EXPECT_EQ(t[5].Name(), "");
    EXPECT_EQ(t[6].type, Demolition);
    EXPECT_EQ(t[6].id, 7);
}

// Date texts are told apart by their length and words that overlap for most lengths: texts of
// every length that share their ends, or all but one middle byte, are different days.
TEST_F(ScheduleTextTest, DateTextsOfEveryLengthAreToldApart) {
    const std::pair<const char*, DateTime> days[] = {
        {"2009.3.5", DateTime(2009, 3, 5)},        {"2009.3.15", DateTime(2009, 3, 15)},
        {"2009.3.5.", DateTime(2009, 3, 5)},       {"2009.5.13", DateTime(2009, 5, 13)},
        {"2009.12.5", DateTime(2009, 12, 5)},      {"2009.12.15", DateTime(2009, 12, 15)},
        {"2009.11.15", DateTime(2009, 11, 15)},    {"2009.03.13.", DateTime(2009, 3, 13)},
        {"2009.08.13.", DateTime(2009, 8, 13)},    {"2009.08.13.  ", DateTime(2009, 8, 13)},
        {"2009. 08. 13.", DateTime(2009, 8, 13)},  {"2009. 03. 13.", DateTime(2009, 3, 13)},
        {"2009.03.14.", DateTime(2009, 3, 14)},    {"2019.03.13.", DateTime(2019, 3, 13)}};
    std::string text = std::string(header) + "\r\n";
    int id = 1;
    for (const auto& [day, date] : days) text += std::to_string(id++) + "\tx\t" + day + "\t\r\n";
    ASSERT_TRUE(Import(text));
    ASSERT_EQ(db.TaskCount(), std::size(days));
    for (size_t i = 0; i < std::size(days); ++i) EXPECT_EQ(db.Tasks()[i].start, days[i].second) << days[i].first;
}

TEST_F(ScheduleTextTest, FieldsAreTrimmedOfBlanksAndExtraFieldsIgnored) {
    ASSERT_TRUE(Import(Text({"id_v1\tNAME \t start_date\tFinish_Date\tNotes", "  42 \t  B_Zsaluzás  \t 2009.03.02. \t2009.03.03.\textra"})));
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].id, 42);
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("Zsaluzás"));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 4));
}

TEST_F(ScheduleTextTest, IdsReadLikeTheCLibraryAndStayIn32Bits) {
    ASSERT_TRUE(Import(Text({header, "-3\ta\t2009.01.01.\t", "12abc\tb\t2009.01.01.\t", "abc\tc\t2009.01.01.\t",
                             "99999999999\td\t2009.01.01.\t", "-99999999999\te\t2009.01.01.\t"})));
    ASSERT_EQ(db.TaskCount(), 5u);
    EXPECT_EQ(db.Tasks()[0].id, -3);
    EXPECT_EQ(db.Tasks()[1].id, 12);
    EXPECT_EQ(db.Tasks()[2].id, 0);
    EXPECT_EQ(db.Tasks()[3].id, INT32_MAX);
    EXPECT_EQ(db.Tasks()[4].id, INT32_MIN);
}

TEST_F(ScheduleTextTest, LinesEndAtCarriageReturnsLineFeedsOrBoth) {
    for (const char* end : {"\r", "\n", "\r\n"}) {
        std::string e(end);
        ASSERT_TRUE(Import(std::string(header) + "\tNotes\tMore" + e + "1\ta\t2009.01.01.\t\tx\ty" + e + e +
                           "2\tb\t2009.01.02.\t2009.01.05." + e))
            << "line end " << e.size();
        ASSERT_EQ(db.TaskCount(), 2u);
        EXPECT_EQ(db.Tasks()[1].Name(), "b");
        EXPECT_EQ(db.Tasks()[1].finish, DateTime(2009, 1, 6));
        EXPECT_TRUE(DGShownAlerts().empty());
        db.Tasks().clear();
    }
    // Mixed ends in one file, and a last line without any.
    ASSERT_TRUE(Import(std::string(header) + "\n1\ta\t2009.01.01.\t\r\n2\tb\t2009.01.02.\t\r3\tc\t2009.01.03.\t"));
    EXPECT_EQ(db.TaskCount(), 3u);
}

TEST_F(ScheduleTextTest, Utf8FilesAreReadIntoTheCodePage) {
    const std::string rows = "\r\n1\tD_R\xC3\xA9gi f\xC3\xA9szer\t2009.01.01.\t\r\n";
    // With a byte-order mark, and without one when the whole file is UTF-8.
    for (const std::string& bom : {std::string("\xEF\xBB\xBF"), std::string()}) {
        ASSERT_TRUE(Import(bom + header + rows));
        ASSERT_EQ(db.TaskCount(), 1u);
        EXPECT_EQ(db.Tasks()[0].Name(), Cp("Régi fészer"));
        EXPECT_EQ(db.Tasks()[0].type, Demolition);
    }
    // Bytes that are no UTF-8 are the code page's own, as always.
    ASSERT_TRUE(Import(std::string(header) + Cp("\r\n1\tRégi fészer\t2009.01.01.\t\r\n")));
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("Régi fészer"));
    // A character the code page lacks becomes "?".
    ASSERT_TRUE(Import(std::string(header) + "\r\n1\t\xE6\x97\xA5\xE6\x9C\xAC-01 ?\t2009.01.01.\t\r\n"));
    EXPECT_EQ(db.Tasks()[0].Name(), "?" "?-01 ?");
    EXPECT_FALSE(IsUtf8BeyondAscii("plain"));
    EXPECT_FALSE(IsUtf8BeyondAscii("\xC0\x80"));         // overlong
    EXPECT_FALSE(IsUtf8BeyondAscii("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsUtf8BeyondAscii("\xC3"));              // cut short
    EXPECT_TRUE(IsUtf8BeyondAscii("\xF0\x9F\x8F\x97"));
}

TEST_F(ScheduleTextTest, ColumnsAreFoundByTheirNames) {
    // Microsoft Project's own names, in another order, with a type column of letters or names.
    ASSERT_TRUE(Import(Text({"Finish\tType\tName\tID\tStart", "2009.03.04.\tD\tFal\t4\t2009.03.02.",
                             "2009.03.06.\tFelújítás\tTető\t5\t2009.03.05.", "2009.03.09.\ttemporary\tÁllvány\t6\t2009.03.07.",
                             "2009.03.09.\t\tF_Kerítés\t7\t2009.03.07."})));
    ASSERT_EQ(db.TaskCount(), 4u);
    EXPECT_EQ(db.Tasks()[0].id, 4);
    EXPECT_EQ(db.Tasks()[0].type, Demolition);
    EXPECT_EQ(db.Tasks()[0].start, DateTime(2009, 3, 2));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 5));
    EXPECT_EQ(db.Tasks()[1].type, Renovation);
    EXPECT_EQ(db.Tasks()[2].type, Temporary);
    EXPECT_EQ(db.Tasks()[3].type, Fixed); // no type given: the name's letter holds
    EXPECT_EQ(db.Tasks()[3].Name(), Cp("Kerítés"));
    // The documented header reads its four columns as always, whatever follows.
    ASSERT_TRUE(Import(Text({"ID_v1\tName\tStart_Date\tFinish_Date\tType", "1\tFal\t2009.03.02.\t2009.03.04.\tD"})));
    EXPECT_EQ(db.Tasks()[0].type, Construction);
    // Without a finish column the file is not a schedule.
    db.Tasks().clear();
    OpenSomething();
    EXPECT_FALSE(Import(Text({"ID\tName\tStart", "1\tFal\t2009.03.02."})));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32519});
    ExpectSomethingKept();
}

TEST_F(ScheduleTextTest, AmbiguousDatesAskForTheOrder) {
    DGQueueDialogAnswer({"32505", {{"4", "2"}}, 1}); // the second entry: month-day-year
    ASSERT_TRUE(Import(Text({header, "1\ta\t03/04/2009\t04/05/2009"})));
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_EQ(DGShownDialogs()[0].dialogId, "32505");
    EXPECT_EQ(db.Tasks()[0].start, DateTime(2009, 3, 4));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 4, 6));
}

TEST_F(ScheduleTextTest, AFileWithoutDatesAsksToo) {
    DGQueueDialogAnswer({"32505", {{"4", "1"}}, 1});
    ASSERT_TRUE(Import(Text({header, "1\tNév nélkül\t\t"})));
    EXPECT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_EQ(db.TaskCount(), 1u);
}

TEST_F(ScheduleTextTest, FailuresLeaveTheOpenScheduleAlone) {
    OpenSomething();
    // No order reads every date.
    EXPECT_FALSE(Import(Text({header, "1\ta\t2009.03.02.\t", "2\tb\t13/25/2009\t"})));
    ExpectSomethingKept();
    // The user cancels the order question: no alert.
    DGQueueDialogAnswer({"32505", {}, 2});
    EXPECT_FALSE(Import(Text({header, "1\ta\t03/04/2009\t"})));
    ExpectSomethingKept();
    // An empty file has no header.
    EXPECT_FALSE(Import(""));
    ExpectSomethingKept();
    // A missing file.
    EXPECT_FALSE(db.ImportScheduleText(PathOf("nincs.txt")));
    ExpectSomethingKept();
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32518, 32519, 32506}));
    EXPECT_EQ(DGShownAlerts()[2].params, std::vector<std::string>{PathOf("nincs.txt")});
}

TEST_F(ScheduleTextTest, AReadFailureIsNoShorterSchedule) {
    OpenSomething();
    std::string bytes = Text({header});
    for (int i = 1; i <= 20000; ++i) bytes += std::to_string(i) + "\tFeladat\t2009.03.02.\t2009.03.03.\r\n";
    // Reads come in 64 KiB blocks: fail an early one and the one that would reach the end.
    for (int skip : {1, static_cast<int>(bytes.size() / 65536)}) {
        FKInjectFault(FKOperation::Read, kFKIOErr, skip);
        EXPECT_FALSE(Import(bytes));
        ExpectSomethingKept();
    }
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32506, 32506}));
    FKClearFaults();
    ASSERT_TRUE(Import(bytes));
    EXPECT_EQ(db.TaskCount(), 20000u);
}

TEST_F(ScheduleTextTest, AnOverlongLineIsCutAndTheNextLinesStillRead) {
    std::string longName(1500, 'x');
    ASSERT_TRUE(Import(Text({header, ("1\t" + longName + "\t2009.03.02.\t2009.03.03.").c_str(), "2\tb\t2009.03.05.\t"})));
    ASSERT_EQ(db.TaskCount(), 2u);
    EXPECT_EQ(db.Tasks()[0].Name(), std::string(255, 'x')); // the name field holds 255 bytes
    EXPECT_EQ(db.Tasks()[0].start, DateTime::Now());         // the dates lay past the cut
    EXPECT_EQ(db.Tasks()[1].id, 2);
    EXPECT_EQ(db.Tasks()[1].start, DateTime(2009, 3, 5));
}

TEST_F(ScheduleTextTest, SavesTheDocumentedBytes) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Alapozás"));
    db.AppendLoadedTask(MakeTask(22, Temporary, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Állvány\tés\rtető"));
    db.AppendLoadedTask(MakeTask(3, static_cast<ConstructionType>(5), DateTime(2010, 12, 1), DateTime(2011, 1, 1), "Régi"));
    path = PathOf("mentés.txt");
    ASSERT_TRUE(db.SaveScheduleText(path));
    // "%x" under the C locale: month/day/two-digit year.
    EXPECT_EQ(ReadBytes(path), Cp("ID_v1\tName\tStart_Date\tFinish_Date\r\n"
                                  "1\tB_Alapozás\t03/02/09\t03/04/09\r\n"
                                  "22\tT_Állvány és tető\t03/02/09\t03/02/09\r\n"
                                  "3\tB_Régi\t12/01/10\t12/31/10\r\n"));
}

TEST_F(ScheduleTextTest, DatesThatAreNotValidGoOutEmptyAndReadBackAsNoDate) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Alapozás"));
    db.AppendLoadedTask(MakeTask(2, Demolition, DateTime::FromTicks(0, DateTimeStatus::Invalid), DateTime(2009, 3, 20), "Bontás"));
    db.AppendLoadedTask(MakeTask(3, Fixed, DateTime(2009, 3, 14), DateTime::FromTicks(0, DateTimeStatus::Null), "Kerítés"));
    path = PathOf("hiányos.txt");
    ASSERT_TRUE(db.SaveScheduleText(path));
    EXPECT_EQ(ReadBytes(path), Cp("ID_v1\tName\tStart_Date\tFinish_Date\r\n"
                                  "1\tB_Alapozás\t03/02/09\t03/04/09\r\n"
                                  "2\tD_Bontás\t\t03/19/09\r\n"
                                  "3\tF_Kerítés\t03/14/09\t\r\n"));
    db.Tasks().clear();
    ASSERT_TRUE(db.ImportScheduleText(path));
    EXPECT_TRUE(DGShownAlerts().empty());
    ASSERT_EQ(db.TaskCount(), 3u);
    EXPECT_EQ(db.Tasks()[1].finish, DateTime(2009, 3, 20));
    EXPECT_EQ(db.Tasks()[2].start, DateTime(2009, 3, 14));
    EXPECT_EQ(db.Tasks()[2].finish, DateTime(2009, 3, 14)); // a start alone lasts zero time
}

TEST_F(ScheduleTextTest, RoundTripKeepsIdsNamesTypesAndDays) {
    const char* names[] = {"Alapozás", "Bontás", "Felújítás", "Rögzített", "Ideiglenes állványzat", "Őrház ű ő"};
    for (int i = 0; i < 6; ++i)
        db.AppendLoadedTask(MakeTask(i + 1, static_cast<ConstructionType>(i % 5), DateTime(2009, 1 + i, 13 + i),
                                     DateTime(2009, 2 + i, 20), names[i]));
    std::vector<Task> before = db.Tasks();
    path = PathOf("körút.txt");
    ASSERT_TRUE(db.SaveScheduleText(path));
    db.Tasks().clear();
    // Days above 12 leave only month-day-year possible under the C locale: no question.
    ASSERT_TRUE(db.ImportScheduleText(path));
    EXPECT_TRUE(DGShownDialogs().empty());
    ASSERT_EQ(db.TaskCount(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(db.Tasks()[i].id, before[i].id);
        EXPECT_EQ(db.Tasks()[i].Name(), before[i].Name());
        EXPECT_EQ(db.Tasks()[i].type, before[i].type);
        EXPECT_EQ(db.Tasks()[i].start, before[i].start);
        EXPECT_EQ(db.Tasks()[i].finish, before[i].finish);
    }
}

TEST_F(ScheduleTextTest, AFailedSaveKeepsTheOldFile) {
    path = PathOf("terv.txt");
    const std::string old = "old schedule\r\n";
    WriteBytes(path, old);
    for (int i = 0; i < 5000; ++i) db.AppendLoadedTask(MakeTask(i + 1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Feladat"));
    for (auto [op, skip] : {std::pair{FKOperation::Write, 0}, std::pair{FKOperation::Write, 1},
                            std::pair{FKOperation::Close, 0}, std::pair{FKOperation::Rename, 0},
                            std::pair{FKOperation::Open, 0}}) {
        FKInjectFault(op, kFKDiskFullErr, skip);
        EXPECT_FALSE(db.SaveScheduleText(path));
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    }
    EXPECT_FALSE(db.SaveScheduleText("/dev/full"));
    EXPECT_FALSE(db.SaveScheduleText(""));
}

// The reader finds breaks a word at a time; every position of a TAB, CR or LF within and across
// words must split as the plain field split does.
TEST_F(ScheduleTextTest, TheLineReaderSplitsAsThePlainSplitWhereverTheBreaksFall) {
    std::string text;
    std::vector<std::string> lines;
    for (size_t length = 0; length < 20; ++length)
        for (size_t at = 0; at < length; ++at)
            for (char c : {'\t', 'a'}) {
                std::string line(length, 'x');
                line[at] = c;
                if (at + 3 < length) line[at + 3] = '\t';
                if (length > 2) line[1] = ' ';
                lines.push_back(line);
                text += line + (at % 3 == 0 ? "\r\n" : at % 3 == 1 ? "\n" : "\r");
            }
    std::string file = PathOf("lines.txt");
    WriteBytes(file, text);
    FKFile in(FKLocation::FromPath8(file));
    ASSERT_EQ(in.OpenForReading(), kFKNoErr);
    ScheduleTextLineReader reader(in);
    std::string_view line;
    std::vector<std::string_view> fields;
    for (const std::string& expected : lines) {
        ASSERT_TRUE(reader.NextLine(line, 5, fields));
        ASSERT_EQ(line, expected);
        EXPECT_EQ(fields, SplitScheduleTextFields(expected, 5)) << expected;
    }
    EXPECT_FALSE(reader.NextLine(line, 5, fields));
    EXPECT_EQ(reader.Error(), 0);
}

} // namespace
