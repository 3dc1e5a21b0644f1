#include "TestSupport.h"
#include "dialogkit/DGAnswers.h"
#include "resources/AddonDialogs.h"
#include "schedule/formats/DateOrder.h"
#include "schedule/formats/DateOrderDialog.h"
#include "schedule/formats/DateParseCache.h"

namespace {

using Numbers = std::array<int64_t, 3>;

TEST(ParseDateNumbers, KeepsTheThreeNumbersOfAnyWriting) {
    EXPECT_EQ(ParseDateNumbers("Mon 3/15/09"), (Numbers{3, 15, 9}));
    EXPECT_EQ(ParseDateNumbers("2009. 03. 15."), (Numbers{2009, 3, 15}));
    EXPECT_EQ(ParseDateNumbers("3/15/2009 8:00"), (Numbers{3, 15, 2009}));
    EXPECT_EQ(ParseDateNumbers("15.03.2009"), (Numbers{15, 3, 2009}));
    EXPECT_EQ(ParseDateNumbers("--1//2\\\\3--"), (Numbers{1, 2, 3}));
    // Beyond 64 bits a number saturates rather than wrapping.
    EXPECT_EQ((*ParseDateNumbers("1/2/99999999999999999999999"))[2], INT64_MAX);
}

TEST(ParseDateNumbers, FailsWithoutTwoSeparators) {
    for (const char* text : {"", "/", "2009", "2009-03", "-2009-", "a", "..."})
        EXPECT_FALSE(ParseDateNumbers(text)) << text;
}

TEST(ParseDateNumbers, LooksAtNoMoreThan1023Bytes) {
    std::string text(1020, '1');
    text += "/2/3";
    EXPECT_FALSE(ParseDateNumbers(text)); // the second separator lies past the limit
    EXPECT_TRUE(ParseDateNumbers(text.substr(1)));
}

TEST(ParseDate, AssignsTheNumbersByOrderAndCompletesYears) {
    EXPECT_EQ(*ParseDate("2009.03.15.", YearMonthDay), DateTime(2009, 3, 15));
    EXPECT_EQ(*ParseDate("15/03/09", DayMonthYear), DateTime(2009, 3, 15));
    EXPECT_EQ(*ParseDate("03/15/99", MonthDayYear), DateTime(1999, 3, 15));
    EXPECT_EQ(*ParseDate("03/15/69", MonthDayYear), DateTime(2069, 3, 15));
    EXPECT_EQ(*ParseDate("03/15/70", MonthDayYear), DateTime(1970, 3, 15));
    EXPECT_EQ(*ParseDate("3/15/2009 8:00", MonthDayYear), DateTime(2009, 3, 15)); // midnight
    EXPECT_FALSE(ParseDate("13/25/2009", MonthDayYear));
    EXPECT_FALSE(ParseDate("29/02/2007", DayMonthYear));
    EXPECT_FALSE(ParseDate("1/1/99999999999", DayMonthYear));
    EXPECT_FALSE(ParseDate("1/99999999999/1", DayMonthYear));
}

TEST(NarrowDateOrders, DropsEveryOrderThatCannotReadTheDate) {
    DateOrderSet c = AllDateOrders();
    NarrowDateOrders(c, "2009.03.15.");
    EXPECT_EQ(c, DateOrderSet{YearMonthDay});
    EXPECT_EQ(*NarrowDateOrders(c, "2009.04.01."), DateTime(2009, 4, 1));

    c = AllDateOrders();
    NarrowDateOrders(c, "03/04/2009");
    NarrowDateOrders(c, "04/05/2009");
    EXPECT_EQ(c, (DateOrderSet{DayMonthYear, MonthDayYear}));
    // The date given back is the last candidate's reading.
    EXPECT_EQ(*NarrowDateOrders(c, "03/04/2009"), DateTime(2009, 3, 4));

    c = AllDateOrders();
    EXPECT_FALSE(NarrowDateOrders(c, "13/25/2009"));
    EXPECT_TRUE(c.empty());
}

TEST(DateParseCache, AnswersAsParseDateDoesAlsoWhenSlotsAreReused) {
    DateParseCache cache;
    std::string tooLong(40, '1');
    tooLong += "/1/1";
    std::vector<std::string> texts = {"", "1/2/3", "13/25/2009", "2009.03.15.", tooLong};
    for (int y = 0; y < 12; ++y)
        for (int m = 0; m < 14; ++m)
            for (int d = 0; d < 33; ++d) texts.push_back(std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y));
    for (int round = 0; round < 2; ++round)
        for (const auto& text : texts)
            for (DateOrder order : AllDateOrders()) EXPECT_EQ(cache.Parse(text, order), ParseDate(text, order)) << text;
}

TEST(DateOrderSample, WritesTheLastDayOfJanuary2000InOrder) {
    EXPECT_EQ(DateOrderSample(YearMonthDay), "00/01/31");
    EXPECT_EQ(DateOrderSample(DayMonthYear), "31/01/00");
    EXPECT_EQ(DateOrderSample(MonthDayYear), "01/31/00");
}

class DateOrderDialogTest : public FixedClockTest {};

TEST_F(DateOrderDialogTest, DescriptionComesFromTheResources) {
    AddonDialogDescription d;
    ASSERT_TRUE(GetAddonDialog(32505, d));
    EXPECT_EQ(d.width, 228);
    EXPECT_EQ(d.height, 133);
    EXPECT_EQ(d.title, Cp("Bauvista beállítások"));
    ASSERT_EQ(d.items.size(), 4u);
    EXPECT_EQ(d.items[1].text, Cp("Mégse"));
    EXPECT_EQ(d.items[2].text, Cp("Dátum formátuma az Bauvista\r\nprojekt fájlban:"));
    EXPECT_EQ(d.items[3].kind, DGItemKind::PopUp);
    EXPECT_EQ(d.items[0].rect.left, 135);
    EXPECT_EQ(d.items[3].rect.width, 140);
}

TEST_F(DateOrderDialogTest, MalformedDescriptionsAreRefused) {
    AddonDialogDescription d;
    ASSERT_TRUE(GetAddonDialog(32505, d));
    std::vector<uint8_t> bytes = {8, 0, 0, 0, 228, 0, 133, 0, 'T', 0, 1, 0};
    EXPECT_FALSE(DecodeAddonDialog(bytes, d)); // one item announced, none there
    bytes = {200, 0, 0, 0, 1, 2};
    EXPECT_FALSE(DecodeAddonDialog(bytes, d));
    bytes = {6, 0, 0, 0, 1, 0, 1, 0, 'T', 'T'}; // unterminated title
    EXPECT_FALSE(DecodeAddonDialog(bytes, d));
}

TEST_F(DateOrderDialogTest, ListsEachRemainingOrderBySample) {
    auto dialog = MakeDateOrderDialog({DayMonthYear, MonthDayYear});
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->DialogId(), "32505");
    const DGItem* popUp = dialog->FindItem(int16_t{4});
    ASSERT_NE(popUp, nullptr);
    ASSERT_EQ(popUp->entries.size(), 2u);
    EXPECT_EQ(popUp->entries[0].text, "31/01/00");
    EXPECT_EQ(popUp->entries[0].data, DayMonthYear);
    EXPECT_EQ(popUp->entries[1].text, "01/31/00");
    EXPECT_EQ(popUp->entries[1].data, MonthDayYear);
}

TEST_F(DateOrderDialogTest, OffersTheRemainingOrdersAndKeepsTheChosenOne) {
    DGQueueDialogAnswer({"32505", {{"4", "2"}}, 1});
    DateOrderSet c{DayMonthYear, MonthDayYear};
    ASSERT_TRUE(AskDateOrder(c));
    EXPECT_EQ(c, DateOrderSet{MonthDayYear});
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_TRUE(DGShownDialogs()[0].confirmed);

    DGQueueDialogAnswer({"32505", {}, 2});
    c = AllDateOrders();
    EXPECT_FALSE(AskDateOrder(c));
    EXPECT_EQ(c, AllDateOrders());

    EXPECT_FALSE(AskDateOrder(c)); // nobody answers: cancelled and counted
    EXPECT_EQ(DGUnansweredQuestions(), 1);
}

} // namespace
