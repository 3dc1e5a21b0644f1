// Looks laid over elements: a colour seen through as glass is, and growth cut at a plane; kept by
// undo and in the project file.
#include "RenderFixture.h"
#include "host/project/HostProjectFile.h"
#include "hostapi/HostLookRecord.h"
#include "hostcalls/HostInterface.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

std::array<uint8_t, HostLook::kSize> LookRecord(std::optional<std::array<uint8_t, 4>> rgbt, uint8_t axis = 0, double drawn = 1) {
    std::array<uint8_t, HostLook::kSize> r{};
    if (rgbt) {
        r[HostLook::kFlags] = HostLook::kColoured;
        for (size_t k = 0; k < 4; ++k) r[HostLook::kRed + k] = (*rgbt)[k];
    }
    r[HostLook::kClipAxis] = axis;
    uint64_t bits;
    std::memcpy(&bits, &drawn, 8);
    LE::Put<uint64_t>(r, HostLook::kDrawn, bits);
    return r;
}

class LookTest : public RenderFixture {
protected:
    GSErr SetLook(const Element& e, const std::array<uint8_t, HostLook::kSize>* look) {
        return HostElementSetLook(e.Bytes().data(), look ? look->data() : nullptr);
    }
    // A wall 2 high standing across the view, the camera's line of sight at its middle height.
    Element& AddWall() { return AddBox("FAL", {-2, 0, 0}, {2, 0.3, 2}, red); }
    Image Draw(RenderStyle style = RenderStyle::Window3D) { return RenderWindow(host->Model(), style); }
    // The row showing height z of the wall's face at the middle column, the wall drawn whole in
    // `full` over `empty`: the face is square to the view, so rows follow heights evenly.
    static int32_t RowAt(const Image& full, const Image& empty, double z) {
        const int32_t x = full.width / 2;
        int32_t top = -1, bottom = -1;
        for (int32_t y = 0; y < full.height; ++y)
            if (full.At(x, y) != empty.At(x, y)) {
                if (top < 0) top = y;
                bottom = y;
            }
        return static_cast<int32_t>(bottom - (bottom - top) * z / 2.0 + 0.5);
    }
};

TEST_F(LookTest, GrowthCutsTheBodyAtItsPlaneAndShowsWhatIsBehind) {
    Element& wall = AddWall();
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        SCOPED_TRACE(static_cast<int>(style));
        wall.SetLayer(hidden);
        const Image empty = Draw(style);
        wall.SetLayer(1);
        const Image full = Draw(style);
        const int32_t cx = empty.width / 2, high = RowAt(full, empty, 1.6), low = RowAt(full, empty, 0.3);
        ASSERT_NE(full.At(cx, high), empty.At(cx, high));
        ASSERT_NE(full.At(cx, low), empty.At(cx, low));
        for (double drawn : {0.25, 0.5}) {
            auto look = LookRecord(std::nullopt, HostLook::PlusZ, drawn);
            ASSERT_EQ(SetLook(wall, &look), kHostNoError);
            const Image grown = Draw(style);
            EXPECT_EQ(grown.At(cx, high), empty.At(cx, high)) << drawn; // above the plane: background
            EXPECT_EQ(grown.At(cx, low), full.At(cx, low)) << drawn;
        }
        // Shrinking top down leaves the lower part; from the top, the upper.
        auto lower = LookRecord(std::nullopt, HostLook::PlusZ, 0.85), upper = LookRecord(std::nullopt, HostLook::MinusZ, 0.3);
        ASSERT_EQ(SetLook(wall, &lower), kHostNoError);
        EXPECT_EQ(Draw(style).At(cx, high), full.At(cx, high));
        ASSERT_EQ(SetLook(wall, &upper), kHostNoError);
        const Image top = Draw(style);
        EXPECT_EQ(top.At(cx, high), full.At(cx, high));
        EXPECT_EQ(top.At(cx, low), empty.At(cx, low));
        auto none = LookRecord(std::nullopt, HostLook::PlusZ, 0.0);
        ASSERT_EQ(SetLook(wall, &none), kHostNoError);
        EXPECT_EQ(Draw(style).pixels, empty.pixels);
        ASSERT_EQ(SetLook(wall, nullptr), kHostNoError);
        EXPECT_EQ(Draw(style).pixels, full.pixels);
    }
}

TEST_F(LookTest, AGhostBlendsItsColourOverWhatStandsBehindAsGlassDoes) {
    Element& back = AddBox("BACK", {-3, 3, -1}, {3, 3.5, 3}, green);
    Element& ghost = AddWall();
    auto look = LookRecord(std::array<uint8_t, 4>{200, 200, 200, 85});
    ASSERT_EQ(SetLook(ghost, &look), kHostNoError);
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        SCOPED_TRACE(static_cast<int>(style));
        const Image both = Draw(style);
        ghost.SetLayer(hidden);
        const Image behind = Draw(style);
        back.SetLayer(hidden);
        const Image nothing = Draw(style);
        ghost.SetLayer(1);
        const Image alone = Draw(style);
        back.SetLayer(1);
        const int32_t x = both.width / 2, y = RowAt(alone, nothing, 0.3);
        // Its back face and its front face, each a layer of the ghost's colour letting 85 %
        // through, over whatever stands behind: what it shows over the background tells what it
        // shows over the box.
        const uint32_t b = behind.At(x, y), a = alone.At(x, y), n = nothing.At(x, y), c = both.At(x, y);
        ASSERT_NE(a, n);
        for (int shift : {16, 8, 0}) {
            auto ch = [shift](uint32_t p) { return static_cast<int>((p >> shift) & 0xFF); };
            EXPECT_NEAR(ch(c), std::lround(0.85 * 0.85 * ch(b) + ch(a) - 0.85 * 0.85 * ch(n)), 2) << shift;
        }
        EXPECT_GT(Green(c), Red(c) + 30); // the green behind reads through
    }
    // Its faces just as the same wall's of a glass of that colour and transparency; its outline
    // faded towards its colour, where the glass wall's is drawn in the black pen.
    back.SetLayer(hidden);
    const Image ghosted = Draw();
    ASSERT_EQ(SetLook(ghost, nullptr), kHostNoError);
    const int16_t glass = AddMaterial("grey glass", 200 / 255.0, 200 / 255.0, 200 / 255.0);
    LE::Put<int16_t>(*host->Model().Attribute(HostAttribute::Material, glass), HostAttribute::kMatTransparency, 85);
    LE::Put<int16_t>(ghost.Bytes(), 108, glass);
    const Image glassy = Draw();
    ghost.SetLayer(hidden);
    const Image nothing = Draw();
    const int32_t x = glassy.width / 2;
    int32_t face = 0, outline = 0;
    for (int32_t y = 0; y < glassy.height; ++y) {
        if (glassy.At(x, y) == nothing.At(x, y)) continue;
        if (Red(glassy.At(x, y)) < 40) { // the glass wall's black pen
            ++outline;
            EXPECT_GT(Red(ghosted.At(x, y)), Red(glassy.At(x, y)) + 20) << y;
            EXPECT_LT(Red(ghosted.At(x, y)), Red(nothing.At(x, y)) - 60) << y;
        } else {
            ++face;
            EXPECT_EQ(ghosted.At(x, y), glassy.At(x, y)) << y;
        }
    }
    EXPECT_GT(face, 10);
    EXPECT_GE(outline, 2);
}

TEST_F(LookTest, UndoTakesALookBackAndTheProjectKeepsIt) {
    Element& wall = AddWall();
    const API_Guid guid = wall.Guid();
    auto look = LookRecord(std::array<uint8_t, 4>{0, 230, 0, 40}, HostLook::MinusX, 0.5);
    ASSERT_EQ(HostUndoOpen("Mutasd"), kHostNoError);
    ASSERT_EQ(SetLook(wall, &look), kHostNoError);
    ASSERT_EQ(HostUndoClose(), kHostNoError);
    std::array<uint8_t, HostLook::kSize> back{};
    ASSERT_EQ(HostElementGetLook(wall.Bytes().data(), back.data()), kHostNoError);
    EXPECT_EQ(back, look);
    const Image looked = Draw();

    const std::string text = SerializeHostProject(host->Model());
    ProjectLoadResult reopened = ParseHostProject(text, "p");
    ASSERT_TRUE(reopened.model) << reopened.error;
    const Element* again = reopened.model->Find(guid);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->look, wall.look);
    EXPECT_EQ(SerializeHostProject(*reopened.model), text);

    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    EXPECT_FALSE(host->Model().Find(guid)->look);
    EXPECT_EQ(HostElementGetLook(wall.Bytes().data(), back.data()), kHostErrNotAvailable);
    EXPECT_NE(Draw().pixels, looked.pixels);
    ASSERT_TRUE(host->Model().ApplyRedo(name));
    EXPECT_EQ(Draw().pixels, looked.pixels);

    // Impossible looks are refused and change nothing.
    auto bad = look;
    bad[HostLook::kTransparency] = 101;
    EXPECT_EQ(SetLook(wall, &bad), kHostErrBadParameter);
    bad = LookRecord(std::nullopt, 7);
    EXPECT_EQ(SetLook(wall, &bad), kHostErrBadParameter);
    bad = LookRecord(std::nullopt, HostLook::PlusZ, 1.5);
    EXPECT_EQ(SetLook(wall, &bad), kHostErrBadParameter);
    EXPECT_EQ(Draw().pixels, looked.pixels);
    for (const char* form : {R"("look": {"clip": "up"})", R"("look": {"color": [1, 2]})", R"("look": {"drawn": 2})",
                             R"("look": {"glow": 1})"}) {
        std::string broken = text;
        const size_t at = broken.find("\"look\": {");
        ASSERT_NE(at, std::string::npos);
        broken.replace(at, broken.find('}', at) + 1 - at, form);
        EXPECT_FALSE(ParseHostProject(broken, "p").model) << form;
    }
}

} // namespace
