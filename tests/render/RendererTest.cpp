// The host's renderer and its operations: what a frame shows where it matters, the camera and
// window operations the movie uses, and the picture files.
#include "host/project/HostProjectFile.h"
#include "host/render/Pictures.h"
#include "host/script/ScriptInterpreter.h"
#include "hostapi/HostProjectionRecord.h"
#include "hostapi/HostSelectors.h"
#include "pixkit/PXPixMap.h"
#include "RenderFixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>

namespace {

std::string SourceDir() {
    const char* dir = std::getenv("BV_SOURCE_DIR");
    return dir ? dir : ".";
}

double ReadD(std::span<const uint8_t> b, size_t off) {
    uint64_t bits = LE::Get<uint64_t>(b, off);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void WriteD(std::span<uint8_t> b, size_t off, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    LE::Put<uint64_t>(b, off, bits);
}

class RendererTest : public RenderFixture {};

// Every level a channel can take packs as it always rounded: v * 255 + 0.5 cut to a whole, held
// to 0..255; out of range and not-a-number channels stay in the byte.
TEST(PackRgbTest, LevelsRoundAndOutOfRangeHolds) {
    for (int i = 0; i <= 1000; ++i) {
        const float v = static_cast<float>(i) / 1000.0f;
        const auto level = static_cast<uint32_t>(v * 255.0f + 0.5f);
        EXPECT_EQ(PackRgb({v, v, v}), level << 16 | level << 8 | level) << v;
    }
    EXPECT_EQ(PackRgb({-0.5f, 1.5f, 1.0f}), 0x00FFFFu);
    EXPECT_EQ(PackRgb({std::nanf(""), 0.0f, 2.0f}), 0x0000FFu);
    EXPECT_EQ(PackRgb({-std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(), 0.5f}), 0x00FF80u);
}

TEST_F(RendererTest, ElementUnderWorkShowsItsColourAndAnAbsentOneTheBackground) {
    Element& box = AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green, 255);
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        Image image = RenderWindow(host->Model(), style);
        uint32_t centre = image.At(image.width / 2, image.height / 2);
        EXPECT_GT(Green(centre), 60) << static_cast<int>(style);
        EXPECT_GT(Green(centre), 3 * Red(centre) + 20);
        EXPECT_GT(Green(centre), 3 * Blue(centre) + 20);
    }
    // The construction-type pen outlines the element in the 3D window.
    Image outlined = RenderWindow(host->Model(), RenderStyle::Window3D);
    auto* pen = host->Model().Attribute(HostAttribute::Pen, 255);
    ASSERT_NE(pen, nullptr);
    uint32_t penColour = PackRgb({static_cast<float>(ReadD(*pen, HostAttribute::kPenRed)),
                                  static_cast<float>(ReadD(*pen, HostAttribute::kPenGreen)),
                                  static_cast<float>(ReadD(*pen, HostAttribute::kPenBlue))});
    EXPECT_NE(std::count(outlined.pixels.begin(), outlined.pixels.end(), penColour), 0);

    // Moved to a hidden layer, as the display does with what does not stand yet: gone.
    box.SetLayer(hidden);
    Image empty3d = RenderWindow(host->Model(), RenderStyle::Window3D);
    EXPECT_EQ(empty3d.At(80, 60), 0xFFFFFFu);
    EXPECT_EQ(std::count(empty3d.pixels.begin(), empty3d.pixels.end(), 0xFFFFFFu),
              static_cast<std::ptrdiff_t>(empty3d.pixels.size()));
    Image emptyPhoto = RenderWindow(host->Model(), RenderStyle::Photo);
    Image sky = RenderScene(Scene{}, host->Model().view.Camera(), 200, 100, RenderStyle::Photo, {0.2f, 0.4f, 0.8f});
    EXPECT_EQ(emptyPhoto.pixels, sky.pixels);
}

TEST_F(RendererTest, NearerElementHidesFartherWhateverTheOrder) {
    AddBox("FAR", {-2, 2, 0}, {2, 3, 2}, green);
    AddBox("NEAR", {-1, -1, 0.5}, {1, 0, 1.5}, red);
    Image a = RenderWindow(host->Model(), RenderStyle::Window3D);
    uint32_t c = a.At(80, 60);
    EXPECT_GT(Red(c), 3 * Green(c) + 20);
    // The far box still shows beside the near one.
    bool farVisible = false;
    for (uint32_t p : a.pixels) farVisible |= Green(p) > 3 * Red(p) + 20;
    EXPECT_TRUE(farVisible);

    // Same scene, elements added in the other order: same picture.
    TearDown();
    SetUp();
    AddBox("NEAR", {-1, -1, 0.5}, {1, 0, 1.5}, red);
    AddBox("FAR", {-2, 2, 0}, {2, 3, 2}, green);
    Image b = RenderWindow(host->Model(), RenderStyle::Window3D);
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST_F(RendererTest, CameraInsideOrBehindGeometryIsClippedNotBroken) {
    AddBox("ROOM", {-5, -25, -1}, {5, 5, 4}, green); // the eye is inside
    AddBox("BEHIND", {-1, -40, 0}, {1, -30, 2}, red);
    Image image = RenderWindow(host->Model(), RenderStyle::Window3D);
    ASSERT_EQ(image.pixels.size(), 160u * 120u);
    for (uint32_t p : image.pixels) EXPECT_LE(Red(p), Green(p) + 40) << "the box behind the eye is drawn";
}

// The renderer leaves out at once an element wholly out of sight, by its part of the scene.
TEST_F(RendererTest, EveryDrawnElementIsOnePartOfTheSceneWithinItsBounds) {
    AddBox("A", {-1, 0, 0}, {1, 1, 2}, green);
    Element& off = AddBox("OFF", {3, 0, 0}, {4, 1, 1}, red);
    off.SetLayer(hidden);
    Element& mesh = AddElement(HostElement::Mesh, "M");
    mesh.geometry.shape = Geometry::Shape::Mesh;
    mesh.geometry.vertices = {{5, 0, 0}, {6, 0, 0}, {6, 2, 0}, {5, 2, 3}};
    mesh.geometry.triangles = {{0, 1, 2}, {0, 2, 3}, {0, 1, 1}, {0, 1, 9}}; // a degenerate one and one out of range
    AddBox("B", {-3, 2, 0}, {-2, 4, 1}, red);
    Scene scene = BuildScene(host->Model());
    ASSERT_EQ(scene.parts.size(), 3u) << "A, M and B; nothing of the hidden layer";
    uint32_t triangles = 0, edges = 0;
    for (const ScenePart& part : scene.parts) {
        EXPECT_EQ(part.firstTriangle, triangles);
        EXPECT_EQ(part.firstEdge, edges);
        triangles += part.triangles;
        edges += part.edges;
        auto inside = [&](const Vec3& p) {
            for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(p[i] >= part.min[i] && p[i] <= part.max[i]);
        };
        for (uint32_t i = part.firstTriangle; i < part.firstTriangle + part.triangles; ++i) {
            for (const Vec3& p : scene.triangles[i].p) inside(p);
            EXPECT_EQ(scene.owners[i], scene.owners[part.firstTriangle]);
        }
        for (uint32_t i = part.firstEdge; i < part.firstEdge + part.edges; ++i) inside(scene.edges[i].a), inside(scene.edges[i].b);
    }
    EXPECT_EQ(triangles, scene.triangles.size());
    EXPECT_EQ(edges, scene.edges.size());
    EXPECT_EQ(scene.parts[1].triangles, 2u);
    EXPECT_EQ(scene.parts[1].min, (Vec3{5, 0, 0}));
    EXPECT_EQ(scene.parts[1].max, (Vec3{6, 2, 3}));
}

TEST_F(RendererTest, ExampleHouseRendersTheSamePixelsEveryTimeAndFollowsTheCamera) {
    auto loaded = LoadHostProject(SourceDir() + "/examples/house/house.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    HostModel& m = *loaded.model;
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        Image first = RenderWindow(m, style);
        Image second = RenderWindow(m, style);
        EXPECT_EQ(first.width, 640);
        EXPECT_EQ(first.pixels, second.pixels);
        ViewCamera c = m.view.Camera();
        c.eye = {22, -14, 6};
        HostView other = m.view;
        m.view.SetCamera(c);
        Image moved = RenderWindow(m, style);
        EXPECT_NE(first.pixels, moved.pixels);
        m.view = other;
    }
}

// The house along a stretch of its camera path, with a sun that gives shadows and highlights.
std::vector<ViewCamera> HouseViews(const HostModel& m) {
    ViewCamera base = m.view.Camera();
    ViewCamera a = base, b = base, inside = base;
    a.eye = {-12, -14, 6}, a.target = {5, 4, 3};
    b.eye = {22, -14, 6}, b.target = {5, 4, 3};
    inside.eye = {7.3, -4, 1.7}, inside.target = {7.3, 0, 1.7}; // close up, clipped at the eye
    return {base, Between(a, b, 0.25), Between(a, b, 0.75), inside};
}

TEST_F(RendererTest, TiledPictureOnManyThreadsIsTheSingleThreadPictureByteForByte) {
    auto loaded = LoadHostProject(SourceDir() + "/examples/house/house.qvp");
    ASSERT_TRUE(loaded.model) << loaded.error;
    Scene scene = BuildScene(*loaded.model);
    ASSERT_FALSE(scene.triangles.empty());
    // One thread drawing the picture as one tile, against every other cut and thread count.
    Renderer single(1, 100000);
    ASSERT_EQ(single.Threads(), 1);
    Renderer two(2), three(3, 7), four(4, 1), odd(2, 333);
    EXPECT_EQ(two.Threads(), 2);
    EXPECT_EQ(four.Threads(), 4);
    std::vector<uint32_t> colours;
    for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
        Rgb background = style == RenderStyle::Photo ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
        for (const ViewCamera& view : HouseViews(*loaded.model)) {
            Image reference = single.Render(scene, view, 640, 360, style, background);
            ASSERT_EQ(reference.pixels.size(), 640u * 360u);
            for (Renderer* r : {&two, &three, &four, &odd}) {
                Image tiled = r->Render(scene, view, 640, 360, style, background);
                ASSERT_EQ(tiled.pixels.size(), reference.pixels.size());
                EXPECT_EQ(std::memcmp(tiled.pixels.data(), reference.pixels.data(), 4 * tiled.pixels.size()), 0)
                    << "style " << static_cast<int>(style) << ", " << r->Threads() << " threads";
            }
            colours.insert(colours.end(), reference.pixels.begin(), reference.pixels.end());
        }
        // The pictures show the house: many colours, not just the sky or background.
        std::sort(colours.begin(), colours.end());
        EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 30);
        colours.clear();
    }
    // The same renderer again, after other pictures (its shadow map reused): the same bytes.
    ViewCamera view = HouseViews(*loaded.model)[1];
    Image once = two.Render(scene, view, 640, 360, RenderStyle::Photo, {0.75f, 0.85f, 0.95f});
    Image fresh = Renderer(1).Render(scene, view, 640, 360, RenderStyle::Photo, {0.75f, 0.85f, 0.95f});
    EXPECT_EQ(once.pixels, fresh.pixels);
}

TEST_F(RendererTest, PictureIsDrawnIntoRowsOfAnyStride) {
    AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green);
    Scene scene = BuildScene(host->Model());
    ViewCamera view = host->Model().view.Camera();
    Image plain = RenderScene(scene, view, 160, 120, RenderStyle::Photo, {0.2f, 0.4f, 0.8f});
    // Rows 170 pixels apart: the 10 pixels past each row stay as they were.
    std::vector<uint32_t> wide(170u * 120u, 0xABCDEFu);
    Renderer(2, 5).Render(scene, view, PixelView{wide.data(), 160, 120, 170}, RenderStyle::Photo, {0.2f, 0.4f, 0.8f});
    for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 0; x < 170; ++x)
            ASSERT_EQ(wide[static_cast<size_t>(y) * 170 + static_cast<size_t>(x)], x < 160 ? plain.At(x, y) : 0xABCDEFu)
                << x << "," << y;
}

TEST_F(RendererTest, CameraAndWindowOperations) {
    AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green);
    std::vector<uint8_t> projection(HostProjection::kSize);
    ASSERT_EQ(HostEnvironmentGet(kHostSelProjectionGet, projection.data(), nullptr), kHostNoError);
    EXPECT_EQ(projection[HostProjection::kPerspective], 1);
    EXPECT_EQ(ReadD(projection, HostProjection::kCamera + HostCameraPosition::kEye + 8), -20.0);

    // Move the camera by the projection record, as a camera path frame does.
    WriteD(projection, HostProjection::kCamera + HostCameraPosition::kEye, 15);
    uint8_t zero = 0;
    ASSERT_EQ(HostEnvironmentGet(kHostSelProjectionChange, projection.data(), &zero), kHostNoError);
    std::vector<uint8_t> back(HostProjection::kSize);
    HostEnvironmentGet(kHostSelProjectionGet, back.data(), nullptr);
    EXPECT_EQ(ReadD(back, HostProjection::kCamera + HostCameraPosition::kEye), 15.0);

    // A camera on its own target, or a record that is not a perspective view, is refused.
    auto bad = back;
    for (size_t i = 0; i < 3; ++i)
        WriteD(bad, HostProjection::kCamera + HostCameraPosition::kEye + 8 * i,
               ReadD(bad, HostProjection::kCamera + HostCameraPosition::kTarget + 8 * i));
    EXPECT_EQ(HostEnvironmentGet(kHostSelProjectionChange, bad.data(), &zero), kHostErrBadParameter);
    bad = back;
    bad[HostProjection::kPerspective] = 0;
    EXPECT_EQ(HostEnvironmentGet(kHostSelProjectionChange, bad.data(), &zero), kHostErrBadParameter);

    std::vector<uint8_t> size(HostWindowSize::kSize);
    ASSERT_EQ(HostEnvironmentGet(kHostSelWindow3DSize, size.data(), nullptr), kHostNoError);
    EXPECT_EQ(LE::Get<int16_t>(size, HostWindowSize::kWidth), 160);
    EXPECT_EQ(LE::Get<int16_t>(size, HostWindowSize::kHeight), 120);
    int32_t photoWindow = 1;
    ASSERT_EQ(HostEnvironmentGet(kHostSelPhotoWindowSize, size.data(), &photoWindow), kHostNoError);
    EXPECT_EQ(LE::Get<int16_t>(size, HostWindowSize::kWidth), 200);
    EXPECT_EQ(LE::Get<int16_t>(size, HostWindowSize::kHeight), 100);

    // The picture: answered with "picture ready", at the window's size, the host's format.
    size_t handles = BKLiveHandleCount();
    for (uint8_t use3D : {1, 0}) {
        uint32_t picture = 0;
        uint8_t options[2] = {use3D, 1};
        ASSERT_EQ(HostGraphics(kHostSelWindowCapture, &picture, options), kHostErrPictureReady);
        auto info = PXReadPixMapInfo(picture);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, use3D ? 160 : 200);
        EXPECT_EQ(info->height, use3D ? 120 : 100);
        auto image = PixMapToImage(picture);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixels, RenderWindow(host->Model(), use3D ? RenderStyle::Window3D : RenderStyle::Photo).pixels);
        BKDisposeHandle(picture);
    }
    EXPECT_EQ(BKLiveHandleCount(), handles);
}

TEST_F(RendererTest, CaptureModeGivesTheViewBackAfterTheMovie) {
    HostView before = host->Model().view;
    uint8_t on = 1, off = 0, zero = 0;
    ASSERT_EQ(HostGraphics(kHostSelCaptureMode, &on, nullptr), kHostNoError);
    std::vector<uint8_t> projection(HostProjection::kSize);
    HostEnvironmentGet(kHostSelProjectionGet, projection.data(), nullptr);
    WriteD(projection, HostProjection::kCamera + HostCameraPosition::kEye, 9);
    ASSERT_EQ(HostEnvironmentGet(kHostSelProjectionChange, projection.data(), &zero), kHostNoError);
    EXPECT_NE(host->Model().view, before);
    ASSERT_EQ(HostGraphics(kHostSelCaptureMode, &off, nullptr), kHostNoError);
    EXPECT_EQ(host->Model().view, before);
}

TEST_F(RendererTest, ScriptRendersTheWindowIntoAFile) {
    AddBox("BOX", {-2, -1, 0}, {2, 1, 2}, green);
    std::ostringstream transcript;
    ScriptInterpreter script(*host, transcript);
    auto path = (std::filesystem::temp_directory_path() / "bv_render_script.png").string();
    for (const char* window : {"photo", "3d"}) {
        ASSERT_TRUE(script.RunLine("render \"" + path + "\" " + window)) << transcript.str();
        std::string error;
        auto written = ReadPng(path, error);
        ASSERT_TRUE(written) << error;
        auto style = std::string(window) == "3d" ? RenderStyle::Window3D : RenderStyle::Photo;
        EXPECT_EQ(written->pixels, RenderWindow(host->Model(), style).pixels);
    }
    std::filesystem::remove(path);
    EXPECT_FALSE(script.RunLine("render " + path + " sideways"));
    EXPECT_FALSE(script.RunLine("render"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

class CameraPathTest : public RenderFixture {
protected:
    Element& AddPath(int32_t index, int32_t first, bool closed, int32_t k) {
        Element e;
        e.SetKind(HostElement::CameraPath);
        e.SetIndex(index);
        LE::Put<int32_t>(e.Bytes(), HostElement::kPathFirstCamera, first);
        e.record[HostElement::kPathClosed] = closed ? 1 : 0;
        LE::Put<int32_t>(e.Bytes(), HostElement::kPathCameraFrames, k);
        return host->Model().AddElement(std::move(e));
    }
    void AddCamera(int32_t index, int32_t path, int32_t next, std::array<double, 3> eye) {
        Element e;
        e.SetKind(HostElement::Camera);
        e.SetIndex(index);
        LE::Put<int32_t>(e.Bytes(), HostElement::kCameraPathIndex, path);
        LE::Put<int32_t>(e.Bytes(), HostElement::kCameraNextIndex, next);
        e.camera.eye = eye;
        e.camera.target = Vec3{0, 0, 1};
        host->Model().AddElement(std::move(e));
    }
    GSErr Positions(int32_t path, std::vector<std::array<double, 3>>& eyes) {
        std::vector<uint8_t> wrapper(HostCameraPathWrapper::kSize);
        LE::Put<int32_t>(wrapper, HostCameraPathWrapper::kPathIndex, path);
        uint32_t block = 0;
        GSErr err = HostGraphics(kHostSelCameraPathPositions, wrapper.data(), &block);
        eyes.clear();
        std::span<const uint8_t> b(BKHandleData(block), BKHandleSize(block));
        for (size_t off = 0; off + HostCameraPosition::kSize <= b.size(); off += HostCameraPosition::kSize)
            eyes.push_back({ReadD(b, off), ReadD(b, off + 8), ReadD(b, off + 16)});
        EXPECT_EQ(b.size() % HostCameraPosition::kSize, 0u);
        BKDisposeHandle(block);
        return err;
    }
};

TEST_F(CameraPathTest, PositionsRunFromCameraToCameraAlongTheChain) {
    AddPath(1, 1, true, 3);
    AddCamera(1, 1, 2, {0, -30, 1});
    AddCamera(2, 1, 0, {30, 0, 1});
    std::vector<std::array<double, 3>> eyes;
    ASSERT_EQ(Positions(1, eyes), kHostNoError);
    ASSERT_EQ(eyes.size(), 4u); // the walk ends at the last camera: k a leg, then the last camera
    EXPECT_EQ(eyes[0], (std::array<double, 3>{0, -30, 1}));
    EXPECT_EQ(eyes[1], (std::array<double, 3>{10, -20, 1}));
    EXPECT_EQ(eyes[3], (std::array<double, 3>{30, 0, 1}));

    AddPath(2, 3, false, 2);
    AddCamera(3, 2, 4, {0, -10, 1});
    AddCamera(4, 9, 5, {99, 99, 1}); // another path's camera in the chain is passed over
    AddCamera(5, 2, 0, {10, -10, 1});
    ASSERT_EQ(Positions(2, eyes), kHostNoError);
    ASSERT_EQ(eyes.size(), 4u);
    EXPECT_EQ(eyes[1], (std::array<double, 3>{5, -10, 1}));
    EXPECT_EQ(eyes[2], (std::array<double, 3>{10, -10, 1}));
    EXPECT_EQ(eyes[3], (std::array<double, 3>{5, -10, 1})); // a loop: back towards the first

    EXPECT_EQ(Positions(7, eyes), kHostErrNoElement);
}

TEST_F(CameraPathTest, ACircularChainIsRefused) {
    AddPath(1, 1, false, 2);
    AddCamera(1, 1, 2, {0, -30, 1});
    AddCamera(2, 1, 1, {30, 0, 1});
    std::vector<std::array<double, 3>> eyes;
    EXPECT_EQ(Positions(1, eyes), kHostErrBadParameter);
    EXPECT_TRUE(eyes.empty());
}

TEST(PictureFiles, PngKeepsEveryPixel) {
    Image image;
    image.width = 7;
    image.height = 3;
    for (uint32_t i = 0; i < 21; ++i) image.pixels.push_back(i * 0x0A0B0Cu & 0xFFFFFFu);
    auto path = (std::filesystem::temp_directory_path() / "bv_render_roundtrip.png").string();
    std::string error;
    ASSERT_TRUE(WritePng(path, image, error)) << error;
    auto back = ReadPng(path, error);
    std::filesystem::remove(path);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->pixels, image.pixels);
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", image, error));
    EXPECT_FALSE(WritePng(path, Image{}, error));
}

} // namespace
