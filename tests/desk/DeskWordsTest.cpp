// The desktop's words: the language and locale chosen from the environment, mnemonics for menus
// that bring none, and the names a report line points to.
#include "desk/window/DeskLanguage.h"
#include "desk/window/Mnemonics.h"
#include "desk/window/ReportLineNames.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

DeskLocale Choose(const std::string& option, std::map<std::string, std::string> variables) {
    return ChooseDeskLocale(option, [&variables](const char* name) -> const char* {
        auto it = variables.find(name);
        return it == variables.end() ? nullptr : it->second.c_str();
    });
}

TEST(DeskLanguageTest, TheLocaleChoosesTheLanguageAndTheFormsUnlessLangIsGiven) {
    DeskLocale hu = Choose("", {{"LANG", "hu_HU.UTF-8"}});
    EXPECT_EQ(hu.lang, "hu");
    EXPECT_EQ(hu.locale.language(), QLocale::Hungarian);
    EXPECT_EQ(hu.locale.firstDayOfWeek(), Qt::Monday);
    // LC_ALL wins over LC_MESSAGES, which wins over LANG; an empty one counts as unset.
    EXPECT_EQ(Choose("", {{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "hu_HU"}, {"LANG", "hu_HU"}}).lang, "en");
    EXPECT_EQ(Choose("", {{"LC_ALL", ""}, {"LC_MESSAGES", "hu_HU.UTF-8@euro"}, {"LANG", "de_DE"}}).lang, "hu");
    // Any other language, and none at all, is English; the forms follow a locale of that language.
    DeskLocale german = Choose("", {{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(german.lang, "en");
    EXPECT_EQ(german.locale, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Choose("", {{"LANG", "C.UTF-8"}}).lang, "en");
    EXPECT_EQ(Choose("", {}).lang, "en");
    EXPECT_EQ(Choose("", {{"LANG", "en_GB.UTF-8"}}).locale.territory(), QLocale::UnitedKingdom);
    // --lang decides the language; the locale keeps its forms only when it speaks it.
    DeskLocale chosen = Choose("hu", {{"LANG", "en_US.UTF-8"}});
    EXPECT_EQ(chosen.lang, "hu");
    EXPECT_EQ(chosen.locale.territory(), QLocale::Hungary);
}

TEST(MnemonicsTest, EachItemGetsALetterOfItsOwnPreferringTheStartsOfWords) {
    QSet<QChar> taken;
    EXPECT_EQ(WithMnemonic(QStringLiteral("Mutasd a tevékenységlistát"), taken), QStringLiteral("&Mutasd a tevékenységlistát"));
    EXPECT_EQ(WithMnemonic(QStringLiteral("Mentsd a projektet..."), taken), QStringLiteral("Mentsd &a projektet..."));
    EXPECT_EQ(WithMnemonic(QStringLiteral("Mentsd a projektet mint..."), taken), QStringLiteral("Mentsd a &projektet mint..."));
    // No letter of the text left: it stays without a mnemonic.
    EXPECT_EQ(WithMnemonic(QStringLiteral("Map"), taken), QStringLiteral("Map"));
    QSet<QChar> fresh;
    EXPECT_EQ(WithMnemonic(QStringLiteral("Ép & Bont"), fresh), QStringLiteral("&Ép && Bont"));
    // No word start left: a letter inside a word.
    EXPECT_EQ(WithMnemonic(QStringLiteral("Épít"), fresh), QStringLiteral("É&pít"));
    EXPECT_EQ(MnemonicOf(QStringLiteral("É&pít")), QChar(u'p'));
    EXPECT_EQ(MnemonicOf(QStringLiteral("&Ép && Bont")), QChar(u'é'));
    EXPECT_TRUE(MnemonicOf(QStringLiteral("A && B")).isNull());
}

TEST(ReportLineNamesTest, ElementsByTheirIdAndTasksByTheirQuotedNames) {
    QString heading = QStringLiteral("A(z) 'Fal' (ID: \"FAL-15\") tartalmaz nem illeszkedő tevékenység típusokat:");
    auto names = NamesInReportLine(heading);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].kind, ReportName::Kind::Element);
    EXPECT_EQ(names[0].text, QStringLiteral("FAL-15"));
    QString pair = QStringLiteral("A(z) \"Berendezés\" művelet (Építés) követi a(z) \"Meglévő fal felújítása\" műveletet (Felújítás)");
    names = NamesInReportLine(pair);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].kind, ReportName::Kind::Task);
    EXPECT_EQ(names[1].text, QStringLiteral("Meglévő fal felújítása"));
    // A click on the second name tries it first; a click elsewhere keeps the line's order.
    auto clicked = NamesForClick(pair, pair.indexOf(QStringLiteral("Meglévő")));
    EXPECT_EQ(clicked[0].text, QStringLiteral("Meglévő fal felújítása"));
    EXPECT_EQ(NamesForClick(pair, 0)[0].text, QStringLiteral("Berendezés"));
    EXPECT_TRUE(NamesInReportLine(QStringLiteral("IFC model IFC2X3: 35 elements, 0 products left out")).empty());
    EXPECT_TRUE(NamesInReportLine(QStringLiteral("an \"unclosed quote")).empty());
    // A revision's link line: its element and its task, either one by a click on it.
    QString relinked = QStringLiteral("Újra párosítva: 'Fal' (ID: \"Külső fal\"), tevékenység: \"Falazás\" (egyezés: class+storey+name+box+shape)");
    names = NamesInReportLine(relinked);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].kind, ReportName::Kind::Element);
    EXPECT_EQ(names[0].text, QStringLiteral("Külső fal"));
    EXPECT_EQ(names[1].kind, ReportName::Kind::Task);
    EXPECT_EQ(NamesForClick(relinked, relinked.indexOf(QStringLiteral("Falazás")))[0].text, QStringLiteral("Falazás"));
}

} // namespace
