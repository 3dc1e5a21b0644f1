// The profiles dialog driven as a planner would: edits that count only when confirmed, names that
// must tell profiles apart, deletion that asks or refuses, and the swatches the list draws.
#include "display/ElementHider.h"
#include "display/ProfileEdits.h"
#include "display/ProfileSwatch.h"
#include "display/ProfilesDialog.h"

#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Steps = std::vector<DGDialogStep>;

AppearanceProfile Named(const std::string& name) {
    AppearanceProfile p;
    p.name = name;
    return p;
}

DGDialogStep Change(const char* item, const std::string& value) { return {item, value, false}; }
DGDialogStep Press(const char* item) { return {item, {}, true}; }

class ProfilesDialogTest : public ::testing::Test {
protected:
    void SetUp() override { DGResetAnswers(); }
    void TearDown() override { DGResetAnswers(); }

    // Runs the dialog on the steps; true when it confirmed a change.
    bool Run(Steps steps) {
        DGQueueDialogAnswer({std::to_string(ProfilesDialog::kDialogId), {}, 1, std::move(steps)});
        ProfilesDialog dialog(hider, db);
        return dialog.Run();
    }
    const ProfileSet& Profiles() const { return hider.Profiles(); }
    std::vector<int16_t> AlertsShown() const {
        std::vector<int16_t> ids;
        for (const DGAlertRecord& a : DGShownAlerts()) ids.push_back(a.id);
        return ids;
    }

    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    const std::string construction = DefaultProfile(ConstructionType::Construction).name;
    const std::string fresh = BKFromUtf8("Új profil");
};

TEST_F(ProfilesDialogTest, APhaseEditedCountsOnlyWhenConfirmed) {
    const Steps ghost{Change("profiles", "1"), Change("before", "4"), Change("before-red", "200"), Change("before-transparency", "85"),
                      Change("during", "4"), Change("during-transparency", "60"), Change("during-finish", "0"), Change("grow", "2"),
                      Change("stagger", "1")};
    Steps cancelled = ghost;
    cancelled.push_back(Press("cancel"));
    EXPECT_FALSE(Run(cancelled));
    EXPECT_TRUE(Profiles().IsDefault());
    EXPECT_FALSE(db.IsDirty());

    Steps confirmed = ghost;
    confirmed.push_back(Press("ok"));
    EXPECT_TRUE(Run(confirmed));
    const AppearanceProfile& p = *Profiles().Find(construction);
    EXPECT_EQ(p.before, PhaseLook::Coloured({200, 160, 160}, 85));
    EXPECT_EQ(p.during, PhaseLook::Coloured({160, 160, 160}, 60, 0));
    EXPECT_EQ(p.grow, GrowDirection::PlusZ);
    EXPECT_TRUE(p.stagger);
    EXPECT_EQ(p.after, PhaseLook::Own());
    EXPECT_TRUE(db.IsDirty());

    // Without growth there is no order along it; a look that is no colour takes no colour.
    EXPECT_TRUE(Run({Change("grow", "1"), Change("before", "1"), Press("ok")}));
    EXPECT_FALSE(Profiles().Find(construction)->stagger);
    EXPECT_EQ(Profiles().Find(construction)->before, PhaseLook::Hidden());
    DGQueueDialogAnswer({std::to_string(ProfilesDialog::kDialogId), {}, 1, {Change("before-red", "9"), Press("ok")}});
    ProfilesDialog refused(hider, db);
    EXPECT_FALSE(refused.Run());
    EXPECT_GT(DGUnansweredQuestions(), 0); // a disabled item is a script error
}

TEST_F(ProfilesDialogTest, NewAndCopiedProfilesTakeFreeNamesAndRenamesMustStayApart) {
    EXPECT_TRUE(Run({Press("add"), Press("add"), Change("profiles", "6"), Press("copy"), Change("name", ""), Press("rename"),
                     Change("name", BKToUtf8(construction)), Press("rename"), Change("name", "Ghost"), Press("rename"), Press("ok")}));
    std::vector<std::string> names;
    for (const AppearanceProfile& p : Profiles().Profiles()) names.push_back(p.name);
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[5], fresh);
    EXPECT_EQ(names[6], fresh + " 2");
    EXPECT_EQ(names[7], "Ghost"); // the copy, renamed once both refusals were said
    EXPECT_EQ(AlertsShown(), (std::vector<int16_t>{32545, 32545}));
    EXPECT_TRUE(Profiles().Find("Ghost")->SameLooks(DefaultProfile(ConstructionType::Construction)));
}

TEST_F(ProfilesDialogTest, ARenameIsFollowedByTypesTasksAndRules) {
    hider.Profiles().Put(Named("Ghost"));
    hider.Profiles().ChooseForTask(7, "Ghost");
    LinkRules rules;
    rules.rules.resize(2);
    rules.profiles = {"", "Ghost"};
    db.SetLinkRules(rules);
    db.SetDirty(false);
    EXPECT_TRUE(Run({Change("profiles", "6"), Change("construction", "6"), Change("name", "Szellem"), Press("rename"), Press("ok")}));
    EXPECT_EQ(Profiles().TaskChoice(7), "Szellem");
    EXPECT_EQ(Profiles().TypeChoice(ConstructionType::Construction), "Szellem");
    EXPECT_EQ(db.Rules().profiles, (std::vector<std::string>{"", "Szellem"}));
}

TEST_F(ProfilesDialogTest, DeletingAskForUsersAndRefusesATypesProfile) {
    hider.Profiles().Put(Named("Ghost"));
    hider.Profiles().ChooseForTask(7, "Ghost");
    LinkRules rules;
    rules.rules.resize(1);
    rules.profiles = {"Ghost"};
    db.SetLinkRules(rules);

    // A type's profile stays; a profile tasks and rules use goes only when the planner says so.
    DGQueueAlertAnswer(2);
    EXPECT_FALSE(Run({Change("profiles", "1"), Press("delete"), Change("profiles", "6"), Press("delete"), Press("ok")}));
    EXPECT_EQ(AlertsShown(), (std::vector<int16_t>{32547, 32546}));
    EXPECT_EQ(DGShownAlerts()[1].params, (std::vector<std::string>{"Ghost", "1", "1"}));
    EXPECT_NE(Profiles().Find("Ghost"), nullptr);

    DGQueueAlertAnswer(1);
    EXPECT_TRUE(Run({Change("profiles", "6"), Press("delete"), Press("ok")}));
    EXPECT_EQ(Profiles().Find("Ghost"), nullptr);
    EXPECT_EQ(Profiles().TaskChoice(7), "");
    EXPECT_TRUE(db.Rules().profiles.empty());
    EXPECT_TRUE(Profiles().IsDefault());

    // Once the type takes another, its old one may go, and the list keeps a row selected.
    EXPECT_TRUE(Run({Press("add"), Change("construction", "6"), Change("profiles", "1"), Press("delete"), Press("ok")}));
    EXPECT_EQ(Profiles().Find(construction), nullptr);
    EXPECT_EQ(Profiles().TypeChoice(ConstructionType::Construction), fresh);
}

TEST(ProfileEdits, FreeNamesStayWithinTheBound) {
    ProfileSet set;
    EXPECT_EQ(FreeProfileName(set, "A"), "A");
    set.Put(Named("A"));
    set.Put(Named("A 2"));
    EXPECT_EQ(FreeProfileName(set, "A"), "A 3");
    const std::string longest(AppearanceProfile::kNameMax, 'x');
    set.Put(Named(longest));
    const std::string next = FreeProfileName(set, longest + "yyy");
    EXPECT_EQ(next.size(), AppearanceProfile::kNameMax);
    EXPECT_EQ(next.substr(next.size() - 2), " 2");
    EXPECT_EQ(CheckProfileName(set, "", "A"), ProfileNameProblem::Empty);
    EXPECT_EQ(CheckProfileName(set, longest + "x"), ProfileNameProblem::TooLong);
    EXPECT_EQ(CheckProfileName(set, "A 2", "A"), ProfileNameProblem::Taken);
    EXPECT_EQ(CheckProfileName(set, "A", "A"), ProfileNameProblem::None);
}

// The colours a swatch fills with, in order.
std::vector<uint32_t> Fills(const DGCanvas& c) {
    std::vector<uint32_t> fills;
    for (const DGCanvasOp& op : c.Ops())
        if (op.kind == DGCanvasOp::Kind::Fill) fills.push_back(op.color);
    return fills;
}

TEST(ProfileSwatch, AColourShowsTheCheckerThroughAsItsTransparencySays) {
    EXPECT_EQ(BlendOver({255, 0, 0}, 0, 0xFFFFFF), 0x0000FFu);
    EXPECT_EQ(BlendOver({255, 0, 0}, 100, 0x123456), 0x123456u);
    EXPECT_EQ(BlendOver({0, 0, 0}, 50, 0xFFFFFF), 0x808080u);
    EXPECT_EQ(BlendOver({200, 0, 0}, 200, 0x000000), 0x000000u); // past 100 % it is see-through all the same

    const SwatchWords words{"own", "type"};
    DGCanvas opaque(50, 20), ghost(50, 20), fade(50, 20);
    DrawPhaseSwatch(opaque, PhaseLook::Coloured({0, 200, 0}, 0), words, 0, 0, 46, 16);
    DrawPhaseSwatch(ghost, PhaseLook::Coloured({0, 200, 0}, 80), words, 0, 0, 46, 16);
    DrawPhaseSwatch(fade, PhaseLook::Coloured({0, 200, 0}, 100, 0), words, 0, 0, 46, 16);
    const std::vector<uint32_t> o = Fills(opaque);
    EXPECT_EQ(std::set<uint32_t>(o.begin(), o.end()), std::set<uint32_t>{0x00C800});
    // A ghost shows the checker's two cells, each the blend of the colour with it.
    const std::vector<uint32_t> g = Fills(ghost);
    EXPECT_EQ(std::set<uint32_t>(g.begin(), g.end()),
              (std::set<uint32_t>{BlendOver({0, 200, 0}, 80, 0xFFFFFF), BlendOver({0, 200, 0}, 80, 0xB0B0B0)}));
    // A fade runs from the checker alone at its start to the colour alone at its finish.
    const std::vector<uint32_t> f = Fills(fade);
    EXPECT_TRUE(f.front() == 0xFFFFFF || f.front() == 0xB0B0B0);
    EXPECT_EQ(f.back(), 0x00C800u);
    EXPECT_EQ(opaque.Ops().back().kind, DGCanvasOp::Kind::Frame);

    // Hidden: the checker struck through; the element's own look and the type's in words.
    DGCanvas hidden(50, 20), own(50, 20);
    DrawPhaseSwatch(hidden, PhaseLook::Hidden(), words, 0, 0, 46, 16);
    DrawPhaseSwatch(own, PhaseLook::Own(), words, 0, 0, 46, 16);
    EXPECT_EQ(hidden.Ops()[hidden.Ops().size() - 2].kind, DGCanvasOp::Kind::Line);
    EXPECT_EQ(own.Ops()[1].text, "own");
}

} // namespace
