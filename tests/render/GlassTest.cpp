// See-through surfaces: blended over what lies behind them from back to front, the same bytes on
// any number of threads, and scenes without them drawn exactly as before.
#include "PictureFingerprint.h"
#include "RenderFixture.h"
#include "host/project/HostProjectFile.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void SetTransparency(HostModel& m, int16_t material, int16_t percent) {
    AttributeRecord* r = m.Attribute(HostAttribute::Material, material);
    ASSERT_NE(r, nullptr);
    LE::Put<int16_t>(*r, HostAttribute::kMatTransparency, percent);
}

class GlassTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        blueGlass = AddMaterial("blue glass", 0.1, 0.3, 0.9);
        SetTransparency(host->Model(), blueGlass, 60);
        redGlass = AddMaterial("red glass", 0.9, 0.2, 0.1);
        SetTransparency(host->Model(), redGlass, 50);
    }

    // A pane across the line of sight at `y`, wider and taller than the boxes behind it.
    Element& AddPane(const char* id, double y, int16_t material, int16_t pen = 1) {
        return AddBox(id, {-3, y, -1}, {3, y + 0.1, 3}, material, pen);
    }

    Image Draw(RenderStyle style) { return RenderWindow(host->Model(), style); }

    uint32_t PenColour(int16_t pen) {
        auto* r = host->Model().Attribute(HostAttribute::Pen, pen);
        auto d = [&](size_t off) {
            uint64_t bits = LE::Get<uint64_t>(*r, off);
            double v;
            std::memcpy(&v, &bits, 8);
            return static_cast<float>(v);
        };
        return PackRgb({d(HostAttribute::kPenRed), d(HostAttribute::kPenGreen), d(HostAttribute::kPenBlue)});
    }

    int16_t blueGlass = 0, redGlass = 0;
};

// A channel of what glass letting `transmission` through shows over `under`, given what it shows
// over `known`.
int Through(int under, int overKnown, int known, double transmission) {
    return static_cast<int>(std::lround(transmission * under + overKnown - transmission * known));
}

void ExpectNear(uint32_t actual, std::array<int, 3> expected, const std::string& what) {
    int got[3] = {static_cast<int>((actual >> 16) & 0xFF), static_cast<int>((actual >> 8) & 0xFF),
                  static_cast<int>(actual & 0xFF)};
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], expected[k], 2) << what << ", channel " << k;
}

TEST_F(GlassTest, PaneInFrontOfABoxShowsTheBoxTintedByThePane) {
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        SCOPED_TRACE(static_cast<int>(style));
        Element& box = AddBox("BOX", {-1, 2, 0.5}, {1, 3, 1.5}, red);
        Image boxAlone = Draw(style);
        Element& pane = AddPane("PANE", 0, blueGlass);
        Image both = Draw(style);
        box.SetLayer(hidden);
        Image paneAlone = Draw(style);
        pane.SetLayer(hidden);
        Image nothing = Draw(style);
        const int32_t x = boxAlone.width / 2, y = boxAlone.height / 2;
        uint32_t b = boxAlone.At(x, y), p = paneAlone.At(x, y), n = nothing.At(x, y), c = both.At(x, y);
        ASSERT_GT(Red(b), 3 * Blue(b));
        ASSERT_NE(p, n);
        // The pane's two faces each let 60% through.
        const double through = 0.6 * 0.6;
        ExpectNear(c, {Through(Red(b), Red(p), Red(n), through), Through(Green(b), Green(p), Green(n), through),
                       Through(Blue(b), Blue(p), Blue(n), through)},
                   "box behind the pane");
        EXPECT_GT(Red(c), Green(c) + 20);
        EXPECT_GT(Blue(c), Blue(b) + 40);
        TearDown();
        SetUp();
    }
}

TEST_F(GlassTest, PanesBlendFromBackToFrontWhateverOrderTheModelHoldsThem) {
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        SCOPED_TRACE(static_cast<int>(style));
        AddBox("BOX", {-1, 2, 0.5}, {1, 3, 1.5}, green);
        AddPane("NEAR", -1, redGlass);
        AddPane("FAR", 0, blueGlass);
        Image nearFirst = Draw(style);
        TearDown();
        SetUp();
        AddPane("FAR", 0, blueGlass);
        AddBox("BOX", {-1, 2, 0.5}, {1, 3, 1.5}, green);
        AddPane("NEAR", -1, redGlass);
        Image farFirst = Draw(style);
        EXPECT_EQ(nearFirst.pixels, farFirst.pixels);

        // The near red pane over the blue one over the box: red shows most.
        uint32_t c = nearFirst.At(nearFirst.width / 2, nearFirst.height / 2);
        EXPECT_GT(Red(c), Blue(c));
        EXPECT_GT(Blue(c), 20);
        EXPECT_GT(Green(c), 20);
        TearDown();
        SetUp();
    }
}

TEST_F(GlassTest, EdgesInFrontOfGlassAndAPanesOwnEdgesKeepTheirPenColour) {
    const int16_t framePen = 1, panePen = 5;
    const uint32_t frameColour = PenColour(framePen), paneColour = PenColour(panePen);
    ASSERT_NE(frameColour, paneColour);
    AddBox("FRAME", {-0.5, -2, 0.5}, {0.5, -1.5, 1.5}, green, framePen);
    Element& pane = AddPane("PANE", 0, blueGlass, panePen);
    Image glass = Draw(RenderStyle::Window3D);
    LE::Put<int16_t>(pane.Bytes(), 108, red);
    Image opaque = Draw(RenderStyle::Window3D);
    pane.SetLayer(hidden);
    Image frameAlone = Draw(RenderStyle::Window3D);

    size_t frameEdges = 0, paneEdges = 0;
    for (size_t i = 0; i < glass.pixels.size(); ++i) {
        if (frameAlone.pixels[i] == frameColour) {
            ++frameEdges;
            EXPECT_EQ(glass.pixels[i], frameColour) << "frame edge at pixel " << i;
        }
        if (opaque.pixels[i] == paneColour) {
            ++paneEdges;
            EXPECT_EQ(glass.pixels[i], paneColour) << "pane edge at pixel " << i;
        }
    }
    EXPECT_GT(frameEdges, 40u);
    EXPECT_GT(paneEdges, 100u);
}

// The example house in a glass case, with glass boxes crossing it: many layers at a pixel.
TEST(GlassScene, DrawsTheSameBytesOnAnyThreadsAndTiles) {
    auto loaded = LoadHostProject(SourceDir() + "/examples/house/house.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    HostModel& m = *loaded.model;
    int16_t materials[3];
    const double colours[3][3] = {{0.9, 0.9, 0.95}, {0.2, 0.8, 0.3}, {0.9, 0.4, 0.1}};
    for (int i = 0; i < 3; ++i) {
        AttributeRecord r = MakeAttributeRecord(HostAttribute::Material, "glass " + std::to_string(i));
        for (size_t k = 0; k < 3; ++k) {
            uint64_t bits;
            std::memcpy(&bits, &colours[i][k], 8);
            LE::Put<uint64_t>(r, HostAttribute::kMatSurfaceRed + 8 * k, bits);
        }
        LE::Put<int16_t>(r, HostAttribute::kMatTransparency, static_cast<int16_t>(40 + 20 * i));
        materials[i] = m.CreateAttribute(HostAttribute::Material, r);
    }
    auto add = [&](std::array<double, 3> lo, std::array<double, 3> hi, int16_t material) {
        Element e;
        e.SetKind(HostElement::Object);
        e.SetLayer(1);
        LE::Put<int16_t>(e.Bytes(), 104, 3);
        LE::Put<int16_t>(e.Bytes(), 108, material);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        m.AddElement(std::move(e));
    };
    add({-1, -1, -0.5}, {11, 9, 7}, materials[0]);
    add({2, -3, 0.5}, {3, 10, 2.5}, materials[1]);
    add({-2, 3, 1}, {12, 3.5, 4}, materials[2]);
    add({4, -2, 0}, {4.2, 10, 8}, materials[1]);
    Scene scene = BuildScene(m);

    ViewCamera base = m.view.Camera(), near = base, inside = base;
    near.eye = {3, -6, 1.8}, near.target = {4, 4, 1.4};
    inside.eye = {5, 2, 1.5}, inside.target = {5, 9, 2};
    Renderer single(1, 100000), two(2), three(3, 7), four(4, 1);
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        Rgb background = style == RenderStyle::Photo ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
        for (const ViewCamera& view : {base, near, inside}) {
            Image reference = single.Render(scene, view, 480, 270, style, background);
            for (Renderer* r : {&two, &three, &four}) {
                Image tiled = r->Render(scene, view, 480, 270, style, background);
                EXPECT_EQ(tiled.pixels, reference.pixels) << "style " << static_cast<int>(style) << ", "
                                                          << r->Threads() << " threads";
            }
        }
    }
}


// The example house with its glass made opaque, from its own view and from one closer by.
TEST(OpaqueScene, KeepsThePixelsItHadBeforeGlassWasLayered) {
    auto loaded = LoadHostProject(SourceDir() + "/examples/house/house.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    HostModel& m = *loaded.model;
    int16_t glass = m.FindAttributeByName(HostAttribute::Material, "\xDCveg");
    ASSERT_NE(glass, 0);
    SetTransparency(m, glass, 0);
    Scene scene = BuildScene(m);
    for (const auto& t : scene.triangles) ASSERT_EQ(t.opacity, 1.0f);

    ViewCamera near = m.view.Camera();
    near.eye = {3, -6, 1.8}, near.target = {4, 4, 1.4};
    // Taken from the renderer that drew see-through surfaces in the order of the scene's
    // triangles, before they were layered by depth.
    const uint64_t expected[2][2] = {{3064433972866300198ull, 8414591725347837998ull},
                                     {6460248046395410614ull, 11264398947126519517ull}};
    Renderer renderer(2, 5);
    for (int style = 0; style < 2; ++style) {
        RenderStyle s = style ? RenderStyle::Photo : RenderStyle::Window3D;
        Rgb background = style ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
        int view = 0;
        for (const ViewCamera& camera : {m.view.Camera(), near}) {
            Image image = renderer.Render(scene, camera, 320, 240, s, background);
            EXPECT_EQ(Fingerprint(image), expected[style][view]) << "style " << style << ", view " << view;
            ++view;
        }
    }
}

} // namespace
