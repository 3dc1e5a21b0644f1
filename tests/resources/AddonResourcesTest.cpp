#include "basekit/BKResources.h"
#include "bytes/LittleEndian.h"
#include "resources/AddonResources.h"
#include "TestSupport.h"

#include <cstring>
#include <vector>

namespace {

using AddonResourcesTest = FixedClockTest;

TEST_F(AddonResourcesTest, TextsAreStoredInTheCentralEuropeanCodePage) {
    std::string title = AddonString(32500, 2);
    EXPECT_EQ(title, Cp("Mutasd a tevékenységlistát^32500"));
    EXPECT_EQ(static_cast<unsigned char>(Cp("ő")[0]), 0xF5);
    EXPECT_EQ(AddonString(32609, 1), Cp("Készülő képkocka: \r\n %d/%d"));
    EXPECT_EQ(AddonString(32610, 5), "251");
    EXPECT_EQ(AddonString(32530, 5), "");
    EXPECT_EQ(AddonString(32530, 6), "");
    EXPECT_EQ(AddonString(32599, 1), "%02ld/%02ld/%02ld");
    EXPECT_EQ(AddonString(32583, 4), Cp("Nem mentehők el az AVI beállítások")); // as shipped
}

TEST_F(AddonResourcesTest, EveryListHasItsItemCount) {
    const std::pair<int16_t, int> counts[] = {
        {32000, 2}, {32500, 21}, {32502, 2}, {32650, 21}, {32510, 17}, {32511, 5}, {32512, 5}, {32530, 5},
        {32583, 8}, {32594, 2},  {32595, 11}, {32597, 10},  {32598, 11},  {32599, 1}, {32600, 4}, {32601, 2},
        {32602, 2}, {32603, 1},  {32604, 1}, {32605, 1},  {32606, 1},  {32607, 1}, {32608, 1}, {32609, 1},
        {32610, 5}, {32611, 1},  {32612, 5}, {32613, 5},  {32614, 2},  {32615, 1}, {32620, 10}, {32621, 9},
        {32622, 7}, {32623, 3},  {32624, 1}, {32625, 7}, {32626, 3}, {32639, 2}, {32640, 10}, {32641, 8}, {18000, 6}, {32631, 2}, {32632, 12},
        {32633, 12}, {32634, 7}, {32635, 8}, {32636, 3}, {32643, 19}, {32644, 11}, {32503, 3}, {32645, 18}, {32646, 5}, {32647, 12}, {32648, 4}};
    BKResModuleScope scope(AddonResModule());
    for (auto [id, n] : counts) EXPECT_EQ(BKGetStringList(id).size(), static_cast<size_t>(n)) << id;
}

TEST_F(AddonResourcesTest, AlertsKeepKindButtonsAndTheirOrder) {
    const std::pair<int16_t, int> buttons[] = {{32503, 1}, {32504, 1}, {32506, 1}, {32507, 1}, {32509, 2},
                                               {32510, 2}, {32511, 2}, {32514, 2}, {32515, 3}, {32518, 1},
                                               {32519, 1}, {32520, 1}, {32521, 1}, {32522, 3}, {32524, 1},
                                               {32525, 1}, {32527, 1}, {32528, 1}, {32530, 1}, {32531, 3},
                                               {32532, 1}, {32533, 1}, {32534, 2}, {32540, 3}, {32541, 1},
                                               {32542, 1}, {32544, 1}, {32545, 1}, {32546, 2}, {32547, 1}, {32548, 3}, {32549, 1}};
    BKResModuleScope scope(AddonResModule());
    for (auto [id, n] : buttons) {
        BKAlertTemplate t;
        ASSERT_TRUE(BKGetAlert(t, id)) << id;
        EXPECT_EQ(t.buttons.size(), static_cast<size_t>(n)) << id;
    }
    BKAlertTemplate t;
    ASSERT_TRUE(BKGetAlert(t, 32522));
    EXPECT_EQ(t.kind, -1);
    EXPECT_EQ(t.main, Cp("Egy kapcsolt tevékenység nem található a megnyitott \"Bauvista projektben\"\r\n\r\n"
                         " Bontani akarja ennek az elemnek a kapcsolatait?"));
    EXPECT_EQ(t.buttons[2], Cp("Állj"));
    ASSERT_TRUE(BKGetAlert(t, 32515));
    EXPECT_EQ(t.title, Cp("Változások mentése"));
    EXPECT_EQ(t.kind, -2);
    ASSERT_TRUE(BKGetAlert(t, 32524));
    EXPECT_EQ(t.kind, -3);
}

TEST_F(AddonResourcesTest, LookupsRestoreTheCallersContext) {
    // The host's own module is current; the add-on's texts still come from the add-on.
    std::vector<uint8_t> host = {'B', 'V', 'R', 'S', 0, 0, 0, 0};
    BKResModule hostModule = BKAddResModule(host, "host");
    ASSERT_NE(hostModule, 0);
    BKUseResModule(hostModule);
    EXPECT_EQ(AddonString(32000, 1), "Bauvista");
    EXPECT_EQ(BKGetCurrentResModule(), hostModule);

    DGQueueAlertAnswer(2);
    EXPECT_EQ(AddonAlert(32514, Cp("Új terv.txt").c_str()), 2);
    EXPECT_EQ(BKGetCurrentResModule(), hostModule);
    EXPECT_EQ(DGShownAlerts().back().main,
              Cp("El akarja menteni a(z) \"Új terv.txt\" Bauvista projektet mielőtt bezárja?"));
    EXPECT_EQ(AddonAlert(1234), 0); // no such alert: nothing shown, context restored
    EXPECT_EQ(BKGetCurrentResModule(), hostModule);
    BKUseResModule(0);
    BKRemoveResModule(hostModule);
}

} // namespace
