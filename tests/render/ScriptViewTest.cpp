// The script's pictures at a chosen size and its `view fit`.
#include "host/render/Pictures.h"
#include "host/render/Scene.h"
#include "host/render/ViewProjection.h"
#include "host/script/ScriptInterpreter.h"
#include "RenderFixture.h"

#include <filesystem>
#include <sstream>

namespace {

using ScriptViewTest = RenderFixture;

TEST_F(ScriptViewTest, APictureIsRenderedAtTheSizeAskedForInEitherWindow) {
    AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green);
    std::ostringstream transcript;
    ScriptInterpreter script(*host, transcript);
    auto path = (std::filesystem::temp_directory_path() / "bv_script_view.png").string();
    for (const char* how : {"96x64", "photo 64x48", "3d 30x200"}) {
        ASSERT_TRUE(script.RunLine("render \"" + path + "\" " + how)) << transcript.str();
        std::string error;
        auto written = ReadPng(path, error);
        ASSERT_TRUE(written) << error;
        int w = 0, h = 0;
        std::string size = std::string(how).substr(std::string(how).rfind(' ') + 1);
        ASSERT_EQ(std::sscanf(size.c_str(), "%dx%d", &w, &h), 2);
        EXPECT_EQ(written->width, w);
        EXPECT_EQ(written->height, h);
        RenderStyle style = std::string(how).rfind("photo", 0) == 0 ? RenderStyle::Photo : RenderStyle::Window3D;
        HostModel& m = host->Model();
        EXPECT_EQ(written->pixels, RenderScene(BuildScene(m), m.view.Camera(), w, h, style, WindowBackground(m, style)).pixels);
    }
    std::filesystem::remove(path);
    for (const char* bad : {"0x10", "4097x10", "10x", "x10", "10x10x", "+10x10", "10 x10", "3d 3d", "10x10 3d", "photo 10x10 5x5"})
        EXPECT_FALSE(script.RunLine("render " + path + " " + bad)) << bad;
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ScriptViewTest, ViewFitBringsTheWholeBuildingIntoTheWindowFromWhereItLooks) {
    AddBox("A", {-2, -1, 0}, {2, 1, 2}, green);
    AddBox("B", {10, 4, 0}, {14, 6, 5}, red);
    std::ostringstream transcript;
    ScriptInterpreter script(*host, transcript);
    ViewCamera before = host->Model().view.Camera();
    ASSERT_TRUE(script.RunLine("view fit")) << transcript.str();
    const ViewCamera& after = host->Model().view.Camera();
    // Still looking the same way.
    Vec3 a = Unit3(Sub3(before.target, before.eye), {}), b = Unit3(Sub3(after.target, after.eye), {});
    EXPECT_GT(Dot3(a, b), 0.999999);
    ViewProjection view(after, 160, 120);
    for (double x : {-2.0, 14.0})
        for (double y : {-1.0, 6.0})
            for (double z : {0.0, 5.0}) {
                auto p = view.Project({x, y, z});
                ASSERT_TRUE(p);
                EXPECT_TRUE(p->x >= 0 && p->x <= 160 && p->y >= 0 && p->y <= 120) << x << "," << y << "," << z;
            }
    EXPECT_FALSE(script.RunLine("view"));
    EXPECT_FALSE(script.RunLine("view fit now"));
}

TEST_F(ScriptViewTest, ViewFitOnAnEmptyProjectLeavesTheViewAsItIs) {
    std::ostringstream transcript;
    ScriptInterpreter script(*host, transcript);
    ViewCamera before = host->Model().view.Camera();
    EXPECT_TRUE(script.RunLine("view fit"));
    EXPECT_EQ(host->Model().view.Camera(), before);
}

} // namespace
