// The page's timelines against the display itself: at every date the state the page would show
// for each element is what a display pass at that date leaves the host showing, in each view, for
// growth, a ghost, a fade, a demolition, a staggered task and a hidden layer, and on the example
// house. And the texts of a model and schedule reach the page escaped.
#include "DisplayFixture.h"
#include "host/HostTestFiles.h"
#include "host/script/ElementStates.h"
#include "webpage/MinuteClock.h"
#include "webpage/PageData.h"
#include "webpage/PageFrame.h"
#include "webpage/WebPageFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using nlohmann::json;

// What the page shows of element `i` at `minute`, read from its data as docs/WEB_PAGE.md says.
std::string PageState(const json& page, const std::string& view, size_t i, int64_t minute) {
    const json& line = page["timelines"][view][i];
    size_t k = 0;
    while (k + 1 < line.size() && line[k + 1][0].get<int64_t>() <= minute) ++k;
    const json& look = page["looks"][line[k][1].get<size_t>()];
    double transparency = look["transparency"], drawn = look["drawn"];
    if (const int next = line[k][2]; next >= 0 && k + 1 < line.size()) {
        const json& to = page["looks"][static_cast<size_t>(next)];
        const double t = static_cast<double>(minute - line[k][0].get<int64_t>()) /
                         static_cast<double>(line[k + 1][0].get<int64_t>() - line[k][0].get<int64_t>());
        transparency += (to["transparency"].get<double>() - transparency) * t;
        drawn += (to["drawn"].get<double>() - drawn) * t;
    }
    const std::string show = look["show"];
    if (show == "hidden") return "hidden";
    std::string text = show;
    char buffer[48];
    if (show == "colour") {
        const int percent = static_cast<int>(std::lround(transparency));
        const json& c = look["color"];
        if (percent == 0) std::snprintf(buffer, sizeof buffer, "colour #%02x%02x%02x", c[0].get<int>(), c[1].get<int>(), c[2].get<int>());
        else std::snprintf(buffer, sizeof buffer, "ghost #%02x%02x%02x %d", c[0].get<int>(), c[1].get<int>(), c[2].get<int>(), percent);
        text = buffer;
    }
    if (look["grow"] != "none" && drawn < 1.0) {
        std::snprintf(buffer, sizeof buffer, " grown %.2f", drawn);
        text += buffer;
    }
    return text;
}

class PageTimelines : public DisplayFixture {
protected:
    Element& BoxWall(const char* id, std::array<double, 3> lo, std::array<double, 3> hi, int16_t layer = 0) {
        Element& e = Wall(id, layer);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        return e;
    }
    void AddPlannedTask(int32_t id, ConstructionType type, DateTime start, DateTime finish, TaskPlan plan = {},
                        const char* name = "t") {
        db.AppendLoadedTask(TestTask(id, type, start, finish, name), plan);
    }
    json Page() {
        PageModel model;
        EXPECT_TRUE(ReadPageModel(hider, db, model, {}));
        PageDataInput input;
        input.title = "Ház";
        return MakePageData(db, hider.Profiles(), model, input, {});
    }
    // Every element's page state at each moment against the host's after a pass there.
    void ExpectPageFollowsPasses(const json& page, ScheduleView view, DateTime from, int days) {
        db.SetView(view);
        const std::string name(ScheduleViewText(view));
        for (int step = 0; step < days * 4; ++step) {
            const DateTime at = DateTime::FromTicks(from.ticks + step * kTicksPerDay / 4 + 7 * 60 * kTicksPerSecond);
            ShowAt(at, false);
            const int64_t minute = MinuteOf(db.CurrentDate());
            for (size_t i = 0; i < page["elements"].size(); ++i) {
                const std::string id = page["elements"][i]["id"];
                const Element* e = host->Model().FindByIdText(BKFromUtf8(id));
                ASSERT_NE(e, nullptr) << id;
                EXPECT_EQ(PageState(page, name, i, minute), ElementStateText(host->Model(), *e))
                    << id << " " << name << " at " << MinuteText(minute);
            }
        }
    }
};

TEST_F(PageTimelines, EveryElementShowsWhatAPassLeavesAtEachMomentInEachView) {
    BoxWall("FAL-01", {-3, 0, 0}, {3, 0.3, 3});      // grows in colour, fading, a ghost before
    BoxWall("FAL-02", {-3, 0, 3}, {3, 0.3, 6});      // the same profile, later; then demolished
    BoxWall("FAL-03", {4, 0, 0}, {7, 2, 3});         // demolished, shrinking
    BoxWall("OSZ-01", {10, 0, 6}, {11, 1, 9});       // the staggered three, listed top first
    BoxWall("OSZ-02", {10, 0, 3}, {11, 1, 6});
    BoxWall("OSZ-03", {10, 0, 0}, {11, 1, 3});
    BoxWall("REJ-01", {0, 5, 0}, {1, 6, 1}, userHidden); // on the user's hidden layer
    BoxWall("SAJ-01", {0, 8, 0}, {1, 9, 1});             // linked to nothing
    HostModel& m = host->Model();
    Link(*m.FindByIdText("FAL-01"), {1});
    Link(*m.FindByIdText("FAL-02"), {2, 5});
    Link(*m.FindByIdText("FAL-03"), {3});
    for (const char* id : {"OSZ-01", "OSZ-02", "OSZ-03"}) Link(*m.FindByIdText(id), {4});
    Link(*m.FindByIdText("REJ-01"), {1});

    TaskPlan late, early, plain;
    late.actualStart = DateTime(2009, 3, 3, 8, 0, 0);
    late.actualFinish = DateTime(2009, 3, 8, 17, 0, 0);
    early.actualStart = DateTime(2009, 3, 5);
    early.percentComplete = 40;
    AddPlannedTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6), late);
    AddPlannedTask(2, ConstructionType::Construction, DateTime(2009, 3, 6), DateTime(2009, 3, 10), early);
    AddPlannedTask(3, ConstructionType::Demolition, DateTime(2009, 3, 4), DateTime(2009, 3, 8), plain);
    AddPlannedTask(4, ConstructionType::Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 13, 12, 0, 0), plain);
    AddPlannedTask(5, ConstructionType::Demolition, DateTime(2009, 3, 12), DateTime(2009, 3, 14), plain);
    db.SetStatusDate(DateTime(2009, 3, 9, 12, 0, 0));

    AppearanceProfile structure = DefaultProfile(ConstructionType::Construction);
    structure.name = "Szerkezet";
    structure.before = PhaseLook::Coloured({200, 200, 200}, 85);
    structure.during = PhaseLook::Coloured({0, 230, 0}, 60, 0);
    structure.grow = GrowDirection::PlusZ;
    AppearanceProfile demolition = DefaultProfile(ConstructionType::Demolition);
    demolition.name = BKFromUtf8("Bontás");
    demolition.during = PhaseLook::Coloured({204, 0, 0}, 0);
    demolition.grow = GrowDirection::PlusZ;
    AppearanceProfile stagger = DefaultProfile(ConstructionType::Construction);
    stagger.name = BKFromUtf8("Emeletenként");
    stagger.grow = GrowDirection::PlusZ;
    stagger.stagger = true;
    ProfileSet& set = hider.Profiles();
    ASSERT_TRUE(set.Put(structure) && set.Put(demolition) && set.Put(stagger));
    ASSERT_TRUE(set.ChooseForType(ConstructionType::Construction, "Szerkezet"));
    ASSERT_TRUE(set.ChooseForType(ConstructionType::Demolition, BKFromUtf8("Bontás")));
    ASSERT_TRUE(set.ChooseForTask(4, BKFromUtf8("Emeletenként")));

    ShowAt(DateTime(2009, 3, 7), false); // the page is written from a model that shows a date
    const json page = Page();
    ASSERT_EQ(page["views"], json({"planned", "actual", "compare"}));
    ASSERT_EQ(page["elements"].size(), 8u);
    EXPECT_EQ(page["statusDate"], MinuteOf(DateTime(2009, 3, 9, 12, 0, 0)));
    // A ghost, then growth and a fade in one stretch each, then its own look: a handful of steps.
    for (const char* view : {"planned", "actual"}) {
        const json& line = page["timelines"][view][0];
        ASSERT_EQ(line.size(), 4u) << view;
        EXPECT_GE(line[1][2].get<int>(), 0); // the growth and the fade lead on
        EXPECT_EQ(line[2][2], -1);
    }
    for (ScheduleView view : {ScheduleView::Planned, ScheduleView::Actual, ScheduleView::Compare})
        ExpectPageFollowsPasses(page, view, DateTime(2009, 3, 1), 15);
}

TEST_F(PageTimelines, TheExampleHouseFollowsItsPassesEveryDay) {
    std::string error;
    ASSERT_TRUE(host->OpenProject(SourceFile("examples/house/house.qvp"), error)) << error;
    ASSERT_TRUE(db.ImportScheduleText(SourceFile("examples/house/schedule.txt")));
    // Every element of the house linked to one of the twelve tasks in turn, some to two.
    size_t n = 0;
    for (const auto& e : host->Model().Elements())
        if (IElementDisplay::IsDisplayableKind(e->Kind())) {
            const auto first = static_cast<int32_t>(1 + n % 12);
            if (n++ % 5 == 0) Link(*e, {first, static_cast<int32_t>(1 + n % 12)});
            else Link(*e, {first});
        }
    // Construction grows storey by storey over a ghost of what comes; the rest take their defaults.
    AppearanceProfile storeys = DefaultProfile(ConstructionType::Construction);
    storeys.name = BKFromUtf8("Szintenként"); // profile names are 8-bit, as task names
    storeys.before = PhaseLook::Coloured({180, 200, 255}, 70);
    storeys.during = PhaseLook::Coloured({255, 160, 0}, 40, 0);
    storeys.grow = GrowDirection::PlusZ;
    storeys.stagger = true;
    ASSERT_TRUE(hider.Profiles().Put(storeys));
    ASSERT_TRUE(hider.Profiles().ChooseForType(ConstructionType::Construction, storeys.name));
    const json page = Page();
    ASSERT_EQ(page["views"], json({"planned"}));
    const json& legend = page["legend"];
    EXPECT_TRUE(std::any_of(legend.begin(), legend.end(), [](const json& l) { return l["label"] == "Szintenként"; }));
    ExpectPageFollowsPasses(page, ScheduleView::Planned, DateTime(2009, 2, 28), 130);
}

TEST_F(PageTimelines, WorkIsToldByTheTypesMaterialMadeInAnEarlierSessionToo) {
    // The project was saved with the display's materials in it: the add-on finds them, makes none.
    const int16_t made = host->Model().CreateAttribute(
        HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, BKFromUtf8("BV Építés")));
    Element& wall = BoxWall("FAL-01", {0, 0, 0}, {1, 1, 1});
    BoxWall("FAL-02", {2, 0, 0}, {3, 1, 1});
    Link(wall, {1});
    AddPlannedTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    const json page = Page();
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 118), made);
    EXPECT_EQ(ElementStateText(host->Model(), wall), "work");
    EXPECT_EQ(ElementStateText(host->Model(), *host->Model().FindByIdText("FAL-02")), "model");
    EXPECT_EQ(PageState(page, "planned", 0, MinuteOf(db.CurrentDate())), "work");
}

TEST_F(PageTimelines, TextsOfTheModelAndScheduleReachThePageEscaped) {
    const char* hostile = "</script><img src=x onerror=alert(1)>";
    Element& wall = BoxWall("FAL-01", {0, 0, 0}, {1, 1, 1});
    wall.SetIdText(BKFromUtf8(hostile));
    HostModel& m = host->Model();
    m.SetFacts(wall, {{m.Facts().Intern("name"), m.Facts().Intern("Fal \xE2\x80\xA8 <b>")}});
    Link(wall, {1});
    AddPlannedTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6), {}, "Falazás </script>");
    const json page = Page();
    EXPECT_EQ(page["elements"][0]["id"], hostile);
    const std::string html = FillPageFrame(WebPageFrame(), hostile, page.dump(), {});
    // The title and the data as they stand in the page: escaped, nothing of them closes their
    // element or starts a tag.
    const size_t title = html.find("<title>"), data = html.find("<script id=\"bv-data\"");
    ASSERT_NE(title, std::string::npos);
    ASSERT_NE(data, std::string::npos);
    const std::string titleText = html.substr(title, html.find("</title>", title) - title);
    const std::string dataText = html.substr(data, html.find("</script>", data) - data);
    EXPECT_EQ(titleText, "<title>&lt;/script&gt;&lt;img src=x onerror=alert(1)&gt;");
    EXPECT_NE(dataText.find("\\u003c/script\\u003e\\u003cimg src=x onerror=alert(1)\\u003e"), std::string::npos);
    EXPECT_NE(dataText.find("Falazás \\u003c/script\\u003e"), std::string::npos);
    EXPECT_NE(dataText.find("Fal \\u2028 \\u003cb\\u003e"), std::string::npos);
    EXPECT_EQ(dataText.find('<', 1), std::string::npos);
    EXPECT_EQ(dataText.find("\xE2\x80\xA8"), std::string::npos);
    EXPECT_LT(html.find("</script>", data), html.find("<script id=\"bv-glb\""));
}

TEST_F(PageTimelines, APageIsWrittenWholeOrNotAtAll) {
    BoxWall("FAL-01", {0, 0, 0}, {1, 1, 1});
    AddPlannedTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    const auto folder = std::filesystem::temp_directory_path() / ("bv-page-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "haz.html").string();
    WebPageResult written = WriteWebPage(hider, db, path, {});
    ASSERT_EQ(written.outcome, WebPageOutcome::Written);
    EXPECT_EQ(std::filesystem::file_size(path), written.bytes);
    std::ifstream page(path);
    const std::string html((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    EXPECT_NE(html.find("<title>Bauvista</title>"), std::string::npos); // a project never saved has no name

    // Stopped half way: the page written before stays as it was, and no other file is left.
    std::ofstream(path, std::ios::trunc) << "earlier";
    EXPECT_EQ(WriteWebPage(hider, db, path, [](size_t done, size_t total) { return done < total / 2; }).outcome,
              WebPageOutcome::Stopped);
    EXPECT_EQ(std::filesystem::file_size(path), 7u);
    // A folder that is not there: nothing written, the file system's reason kept.
    WebPageResult refused = WriteWebPage(hider, db, (folder / "nincs" / "haz.html").string(), {});
    EXPECT_EQ(refused.outcome, WebPageOutcome::NotWritten);
    EXPECT_NE(refused.fileError, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}

} // namespace
