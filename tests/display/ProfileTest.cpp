#include "DisplayFixture.h"
#include "display/DisplayPass.h"
#include "display/ProfileLook.h"
#include "display/ProfileSet.h"

#include "host/render/Pictures.h"
#include "host/render/WindowPictures.h"
#include "hostapi/HostLookRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

DateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    DateTime t(y, m, d);
    t.ticks += ((h * 60 + min) * 60 + s) * kTicksPerSecond;
    return t;
}

Task StateAt(Task t, const DateTime& at) {
    t.ComputeState(at);
    return t;
}

PhaseLook::Kind KindOf(Appearance a) {
    return a == Appearance::Absent ? PhaseLook::Kind::Hide
           : a == Appearance::UnderWork ? PhaseLook::Kind::TypeLook
                                        : PhaseLook::Kind::Model;
}

TEST(Profiles, DefaultsShowWhatEachTypesAppearanceSays) {
    ProfileSet set;
    const DateTime start(2009, 3, 2), finish(2009, 3, 4);
    const DateTime moments[] = {At(2009, 3, 1, 23, 59, 59), start, At(2009, 3, 2, 0, 0, 1), At(2009, 3, 3),
                                At(2009, 3, 3, 23, 59, 59), finish, At(2009, 3, 9)};
    for (int type = 0; type <= 5; ++type)
        for (const DateTime& at : moments) {
            Task t = StateAt(TestTask(1, static_cast<ConstructionType>(type), start, finish, "t"), at);
            EXPECT_EQ(LookAt(set.ProfileFor(t), t, at).kind, KindOf(t.appearance)) << type << " " << at.ticks;
        }
    // Reversed dates: never in progress, and once begun the look after.
    Task reversed = StateAt(TestTask(1, ConstructionType::Demolition, finish, start, "t"), At(2009, 3, 5));
    EXPECT_EQ(LookAt(set.ProfileFor(reversed), reversed, At(2009, 3, 5)).kind, PhaseLook::Kind::Hide);
    EXPECT_TRUE(set.IsDefault());
}

TEST(Profiles, ProgressCountsWholeMinutes) {
    Task t = TestTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "t");
    EXPECT_EQ(ProgressInMinutes(t, At(2009, 3, 1)), 0.0);
    EXPECT_EQ(ProgressInMinutes(t, At(2009, 3, 2, 6)), 0.25);
    EXPECT_EQ(ProgressInMinutes(t, At(2009, 3, 2, 6, 0, 59)), 0.25);
    EXPECT_EQ(ProgressInMinutes(t, At(2009, 3, 2, 12)), 0.5);
    EXPECT_EQ(ProgressInMinutes(t, At(2009, 3, 4)), 1.0);
    Task none = TestTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 2), "t");
    EXPECT_EQ(ProgressInMinutes(none, At(2009, 3, 2)), 0.0);
    EXPECT_EQ(ProgressInMinutes(none, At(2009, 3, 2, 0, 1)), 1.0);
}

TEST(Profiles, DuringFadesAndGrowsWithProgressAndDemolitionShrinks) {
    AppearanceProfile p = DefaultProfile(ConstructionType::Construction);
    p.during = PhaseLook::Coloured({0, 230, 0}, 60, 0);
    p.grow = GrowDirection::PlusZ;
    const DateTime start(2009, 3, 2), finish(2009, 3, 6), quarter(2009, 3, 3), half(2009, 3, 4);
    Task wall = StateAt(TestTask(1, ConstructionType::Construction, start, finish, "t"), quarter);
    ElementLook look = LookAt(p, wall, quarter);
    EXPECT_EQ(look.kind, PhaseLook::Kind::Colour);
    EXPECT_EQ(look.transparency, 45);
    EXPECT_EQ(look.grow, GrowDirection::PlusZ);
    EXPECT_DOUBLE_EQ(look.drawn, 0.25);
    EXPECT_FALSE(look.shrinks);
    wall = StateAt(wall, half);
    EXPECT_EQ(LookAt(p, wall, half).transparency, 30); // half its range at half time

    Task shed = StateAt(TestTask(1, ConstructionType::Demolition, start, finish, "t"), quarter);
    look = LookAt(p, shed, quarter);
    EXPECT_TRUE(look.shrinks);
    EXPECT_DOUBLE_EQ(look.drawn, 0.75);

    // Growth and fade belong to the time under way: before and after, the phase's look alone.
    p.before = PhaseLook::Coloured({200, 200, 200}, 85);
    wall = StateAt(wall, At(2009, 3, 1));
    look = LookAt(p, wall, At(2009, 3, 1));
    ElementLook ghost;
    ghost.kind = PhaseLook::Kind::Colour;
    ghost.colour = {200, 200, 200};
    ghost.transparency = 85;
    EXPECT_EQ(look, ghost);
}

TEST(Profiles, ATasksOwnProfileWinsOverItsTypes) {
    ProfileSet set;
    AppearanceProfile ghost = DefaultProfile(ConstructionType::Construction);
    ghost.name = "Szerkezet";
    ghost.before = PhaseLook::Coloured({200, 200, 200}, 85);
    EXPECT_FALSE(set.ChooseForTask(7, "Szerkezet")); // no such profile yet
    EXPECT_TRUE(set.Put(ghost));
    EXPECT_FALSE(set.IsDefault()); // a sixth profile
    Task own = TestTask(7, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "t");
    Task other = own;
    other.id = 8;
    EXPECT_TRUE(set.ChooseForTask(7, "Szerkezet"));
    EXPECT_EQ(set.ProfileFor(own).name, "Szerkezet");
    EXPECT_EQ(set.ProfileFor(other), DefaultProfile(ConstructionType::Construction));

    AppearanceProfile scaffold = DefaultProfile(ConstructionType::Temporary);
    scaffold.name = "Állvány";
    EXPECT_TRUE(set.Put(scaffold));
    EXPECT_TRUE(set.ChooseForType(ConstructionType::Construction, "Állvány"));
    EXPECT_EQ(set.ProfileFor(other).name, "Állvány");
    EXPECT_EQ(set.ProfileFor(own).name, "Szerkezet");
    EXPECT_FALSE(set.ChooseForType(ConstructionType::Construction, "nincs"));
    EXPECT_EQ(set.TypeChoice(ConstructionType::Construction), "Állvány");

    // A type outside the five shows the element's own look unless its task says otherwise.
    Task odd = other;
    odd.type = static_cast<ConstructionType>(5);
    EXPECT_EQ(set.ProfileFor(odd).before.kind, PhaseLook::Kind::Model);
    EXPECT_TRUE(set.ChooseForTask(8, ""));
    EXPECT_FALSE(set.Put(AppearanceProfile{}));
    set.Reset();
    EXPECT_TRUE(set.IsDefault());
}

class ProfileDisplay : public DisplayFixture {};

TEST_F(ProfileDisplay, APassShowsTheGoverningTasksProfile) {
    Element& a = Wall("FAL-01");
    Element& b = Wall("FAL-02");
    Link(a, {1});
    Link(b, {2});
    AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(2, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    // Task 2 keeps its elements hidden while it runs, and shows them in its type's look after.
    AppearanceProfile late = DefaultProfile(ConstructionType::Construction);
    late.name = "Később";
    late.during = PhaseLook::Hidden();
    late.after = PhaseLook::OfType();
    ASSERT_TRUE(hider.Profiles().Put(late));
    ASSERT_TRUE(hider.Profiles().ChooseForTask(2, "Később"));

    ShowAt(DateTime(2009, 3, 3));
    const int16_t hiddenLayer = host->Model().FindAttributeByName(HostAttribute::Layer, hider.HiddenLayerName());
    EXPECT_EQ(Pen(a), hider.TypePen(ConstructionType::Construction));
    EXPECT_EQ(a.Layer(), walls);
    EXPECT_EQ(b.Layer(), hiddenLayer);
    ShowAt(DateTime(2009, 3, 9));
    EXPECT_EQ(Pen(a), 3);
    EXPECT_EQ(b.Layer(), walls);
    EXPECT_EQ(Pen(b), hider.TypePen(ConstructionType::Construction));
    // A task linked with another one still shows its own profile once it governs.
    Link(a, {1, 2});
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(a.Layer(), hiddenLayer);
}

TEST_F(ProfileDisplay, TheProjectFileKeepsProfilesOnlyWhileTheyDiffer) {
    AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(2, ConstructionType::Temporary, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("bv_profiles_" + std::to_string(::getpid()) + ".csp");
    const std::string path = file.string();
    auto bytes = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(bytes()[4], 4); // the defaults: the file as it always was

    AppearanceProfile ghost = DefaultProfile(ConstructionType::Construction);
    ghost.name = "Szerkezet";
    ghost.before = PhaseLook::Coloured({200, 200, 200}, 85);
    ghost.during = PhaseLook::Coloured({0, 230, 0}, 60, 0);
    ghost.grow = GrowDirection::MinusX;
    ghost.stagger = true;
    ASSERT_TRUE(hider.Profiles().Put(ghost));
    ASSERT_TRUE(hider.Profiles().ChooseForTask(2, "Szerkezet"));
    ASSERT_TRUE(hider.Profiles().ChooseForType(ConstructionType::Fixed, "Szerkezet"));
    const ProfileSet saved = hider.Profiles();
    ASSERT_TRUE(db.SaveProjectFile(path));
    const std::string written = bytes();
    EXPECT_EQ(written[4], 5);
    ASSERT_NE(written.find("PROF"), std::string::npos);

    db.ClearSchedule();
    EXPECT_TRUE(hider.Profiles().IsDefault());
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(hider.Profiles().Profiles(), saved.Profiles());
    EXPECT_EQ(hider.Profiles().TaskChoices(), saved.TaskChoices());
    EXPECT_EQ(hider.Profiles().TypeChoice(ConstructionType::Fixed), "Szerkezet");
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(bytes(), written);

    // A body one byte longer than its profiles: the whole file refused, the looks kept.
    std::string damaged = written;
    const size_t tag = damaged.find("PROF");
    damaged[tag + 4] = static_cast<char>(damaged[tag + 4] + 1);
    damaged.push_back('\0');
    std::ofstream(file, std::ios::binary) << damaged;
    ASSERT_TRUE(hider.Profiles().ChooseForTask(1, "Szerkezet"));
    EXPECT_FALSE(db.LoadProjectFile(path));
    EXPECT_EQ(hider.Profiles().TaskChoice(1), "Szerkezet");
    std::filesystem::remove(file);
}

} // namespace

namespace {

// The display's looks as the host draws them: growth, a ghost and a demolition on a small model.
class ProfilePictures : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        HostModel& m = host->Model();
        m.view.SetCamera({.eye = {12, -24, 10}, .target = {1.5, 0, 4}, .up = {0, 0, 1}, .fov = 40, .sunAzimuth = 200, .sunAltitude = 45});
        m.windows.view3D.Set(320, 240, {1, 1, 1});
        const double colour[3] = {0.75, 0.45, 0.3};
        for (size_t k = 0; k < 3; ++k) {
            uint64_t bits;
            std::memcpy(&bits, &colour[k], 8);
            LE::Put<uint64_t>(*m.Attribute(HostAttribute::Material, brick), HostAttribute::kMatSurfaceRed + 8 * k, bits);
        }
    }
    Element& BoxWall(const char* id, std::array<double, 3> lo, std::array<double, 3> hi) {
        Element& e = Wall(id);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        return e;
    }
    void Keep(const Image& image, const std::string& name) {
#ifdef BV_SCREENSHOT_DIR
        std::filesystem::create_directories(BV_SCREENSHOT_DIR);
        std::string error;
        WritePng(std::string(BV_SCREENSHOT_DIR) + "/" + name + ".png", image, error);
#else
        (void)image, (void)name;
#endif
    }
    Image Draw() { return RenderWindow(host->Model(), RenderStyle::Window3D); }
};

TEST_F(ProfilePictures, WallsGrowGhostsShowAndDemolitionShrinksTopDown) {
    Element& built = BoxWall("FAL-01", {-3, 0, 0}, {3, 0.3, 3});
    Element& growing = BoxWall("FAL-02", {-3, 0, 3}, {3, 0.3, 6});
    Element& next = BoxWall("FAL-03", {-3, 0, 6}, {3, 0.3, 9});
    Element& old = BoxWall("FAL-04", {4, 0, 0}, {7, 2, 3});
    Link(built, {1});
    Link(growing, {2});
    Link(next, {3});
    Link(old, {4});
    AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    AddTask(2, ConstructionType::Construction, DateTime(2009, 3, 6), DateTime(2009, 3, 10));
    AddTask(3, ConstructionType::Construction, DateTime(2009, 3, 10), DateTime(2009, 3, 14));
    AddTask(4, ConstructionType::Demolition, DateTime(2009, 3, 6), DateTime(2009, 3, 10));
    AppearanceProfile structure = DefaultProfile(ConstructionType::Construction);
    structure.name = "Szerkezet";
    structure.before = PhaseLook::Coloured({200, 200, 200}, 85);
    structure.during = PhaseLook::Coloured({0, 230, 0}, 0);
    structure.grow = GrowDirection::PlusZ;
    AppearanceProfile demolition = DefaultProfile(ConstructionType::Demolition);
    demolition.name = "Bontás felülről";
    demolition.during = PhaseLook::Coloured({204, 0, 0}, 0);
    demolition.grow = GrowDirection::PlusZ;
    ProfileSet& set = hider.Profiles();
    ASSERT_TRUE(set.Put(structure));
    ASSERT_TRUE(set.Put(demolition));
    ASSERT_TRUE(set.ChooseForType(ConstructionType::Construction, "Szerkezet"));
    ASSERT_TRUE(set.ChooseForType(ConstructionType::Demolition, "Bontás felülről"));

    const char* names[] = {"profile-25", "profile-50", "profile-100"};
    const DateTime days[] = {DateTime(2009, 3, 6), DateTime(2009, 3, 7), DateTime(2009, 3, 9)}; // 9 March ends where task 2 does
    for (size_t i = 0; i < 3; ++i) {
        ShowAt(days[i]); // the end of the day: 25 %, 50 %, 100 % of task 2
        ASSERT_TRUE(next.look);
        EXPECT_EQ(next.look->transparency, 85); // the ghost of the floor to come
        EXPECT_FALSE(built.look);               // done: its own look
        if (i == 2) {
            EXPECT_FALSE(growing.look); // finished: whole, in its own look
            EXPECT_NE(old.Layer(), walls); // demolished
        } else {
            ASSERT_TRUE(growing.look);
            EXPECT_EQ(growing.look->clipAxis, HostLook::PlusZ);
            EXPECT_TRUE(growing.look->coloured);
            EXPECT_DOUBLE_EQ(growing.look->drawn, 0.25 * static_cast<double>(i + 1));
            ASSERT_TRUE(old.look);
            EXPECT_DOUBLE_EQ(old.look->drawn, 1.0 - growing.look->drawn); // one grows as the other shrinks
            EXPECT_NE(LinkOf(growing).LookPrint(), 0u);
        }
        Keep(Draw(), names[i]);
    }
    // Show-all takes every look away, and the model draws as before the passes.
    DisplayPass(hider, db).ShowAll("Mutasd mind");
    for (const Element* e : {&built, &growing, &next, &old}) {
        EXPECT_FALSE(e->look);
        EXPECT_EQ(LinkOf(*e).LookPrint(), 0u);
    }
}

TEST_F(ProfilePictures, StaggeredElementsAppearOneAfterAnotherAlongTheGrowth) {
    // Listed top first, so the order comes from where they stand, not from the model.
    Element& top = BoxWall("FAL-03", {-3, 0, 6}, {3, 0.3, 9});
    Element& middle = BoxWall("FAL-02", {-3, 0, 3}, {3, 0.3, 6});
    Element& bottom = BoxWall("FAL-01", {-3, 0, 0}, {3, 0.3, 3});
    for (Element* e : {&top, &middle, &bottom}) Link(*e, {1});
    AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    AppearanceProfile p = DefaultProfile(ConstructionType::Construction);
    p.name = "Emeletenként";
    p.grow = GrowDirection::PlusZ;
    p.stagger = true;
    ASSERT_TRUE(hider.Profiles().Put(p));
    ASSERT_TRUE(hider.Profiles().ChooseForType(ConstructionType::Construction, p.name));
    ShowAt(DateTime(2009, 3, 3)); // half way
    ASSERT_TRUE(bottom.look && middle.look && top.look);
    EXPECT_DOUBLE_EQ(bottom.look->drawn, 1.0);
    EXPECT_DOUBLE_EQ(middle.look->drawn, 0.5);
    EXPECT_DOUBLE_EQ(top.look->drawn, 0.0);
    Keep(Draw(), "profile-stagger-50");

    // Demolished from below: the lowest goes first.
    db.ClearSchedule();
    AddTask(1, ConstructionType::Demolition, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    p.name = "Bontás lentről";
    p.before = PhaseLook::Own();
    p.after = PhaseLook::Hidden();
    p.grow = GrowDirection::MinusZ;
    ASSERT_TRUE(hider.Profiles().Put(p));
    ASSERT_TRUE(hider.Profiles().ChooseForType(ConstructionType::Demolition, p.name));
    ShowAt(DateTime(2009, 3, 3));
    ASSERT_TRUE(bottom.look && middle.look && top.look);
    EXPECT_DOUBLE_EQ(bottom.look->drawn, 0.0);
    EXPECT_DOUBLE_EQ(middle.look->drawn, 0.5);
    EXPECT_DOUBLE_EQ(top.look->drawn, 1.0);
    EXPECT_EQ(middle.look->clipAxis, HostLook::MinusZ);
}

TEST_F(ProfilePictures, UndoOfAPassTakesItsLooksBack) {
    Element& growing = BoxWall("FAL-02", {-3, 0, 0}, {3, 0.3, 3});
    Link(growing, {1});
    AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    AppearanceProfile p = DefaultProfile(ConstructionType::Construction);
    p.name = "Nő";
    p.grow = GrowDirection::PlusZ;
    ASSERT_TRUE(hider.Profiles().Put(p));
    ASSERT_TRUE(hider.Profiles().ChooseForTask(1, "Nő"));
    db.SetCurrentDate(DateTime(2009, 3, 3), true);
    DisplayPass pass(hider, db);
    pass.ShowAtCurrentDate("Mutasd");
    ASSERT_TRUE(growing.look);
    EXPECT_DOUBLE_EQ(growing.look->drawn, 0.5);
    EXPECT_FALSE(growing.look->coloured); // the type's pen and material, cut
    EXPECT_EQ(Pen(growing), hider.TypePen(ConstructionType::Construction));
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    Element& back = *host->Model().Find(growing.Guid());
    EXPECT_FALSE(back.look);
    EXPECT_EQ(LinkOf(back).LookPrint(), 0u);
    // The next pass sees the record and the cache disagree and lays the look again.
    pass.ShowAtCurrentDate("Mutasd");
    EXPECT_TRUE(host->Model().Find(growing.Guid())->look);
}

} // namespace
