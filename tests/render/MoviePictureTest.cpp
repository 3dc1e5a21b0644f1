#include "RenderFixture.h"
#include "basekit/BKMemory.h"
#include "dialogkit/DGCanvas.h"
#include "host/render/CanvasPainting.h"
#include "host/render/Pictures.h"
#include "host/render/ViewCamera.h"
#include "hostapi/HostProjectionRecord.h"
#include "hostapi/HostSelectors.h"
#include "pixkit/PXPixMap.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using MoviePictureTest = RenderFixture;

uint32_t Sized(std::array<uint8_t, HostSizedCapture::kSize>& r, int16_t width, int16_t height) {
    r[HostSizedCapture::kUse3DWindow] = 1;
    LE::Put<int16_t>(r, HostSizedCapture::kWidth, width);
    LE::Put<int16_t>(r, HostSizedCapture::kHeight, height);
    uint32_t picture = 0;
    GSErr err = HostGraphics(kHostSelWindowCaptureSized, &picture, r.data());
    return err == kHostErrPictureReady ? picture : 0;
}

// The columns and rows a box covers in a picture on white.
struct Extent {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Extent Covered(const Image& image) {
    Extent e;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            if ((image.At(x, y) & 0xFFFFFF) != 0xFFFFFF)
                e.left = std::min(e.left, x), e.right = std::max(e.right, x), e.top = std::min(e.top, y),
                e.bottom = std::max(e.bottom, y);
    return e;
}

TEST_F(MoviePictureTest, ASizedPictureKeepsAllTheWindowShowedWhateverItsShape) {
    // A box filling most of the 4:3 window's width.
    AddBox("BOX", {-6, -1, -3}, {6, 1, 5}, green);
    auto window = RenderWindow(host->Model(), RenderStyle::Window3D);
    Extent inWindow = Covered(window);
    ASSERT_GT(inWindow.right, inWindow.left);

    std::array<uint8_t, HostSizedCapture::kSize> r{};
    size_t handles = BKLiveHandleCount();
    // Wider (16:9) and narrower (1:1): the box is whole in both, at the same share of the height
    // in the wider one, of the width in the narrower one.
    for (auto [w, h] : {std::pair<int16_t, int16_t>{320, 180}, {120, 120}}) {
        uint32_t picture = Sized(r, w, h);
        ASSERT_NE(picture, 0u) << w;
        auto info = PXReadPixMapInfo(picture);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, w);
        EXPECT_EQ(info->height, h);
        auto image = PixMapToImage(picture);
        ASSERT_TRUE(image);
        Extent e = Covered(*image);
        EXPECT_GT(e.left, 0) << w;
        EXPECT_LT(e.right, w - 1) << w;
        EXPECT_GT(e.top, 0) << w;
        EXPECT_LT(e.bottom, h - 1) << w;
        if (w > h * 4 / 3) {
            double windowShare = (inWindow.bottom - inWindow.top) / 120.0, share = (e.bottom - e.top) / double(h);
            EXPECT_NEAR(share, windowShare, 0.03);
        }
        BKDisposeHandle(picture);
    }
    EXPECT_EQ(BKLiveHandleCount(), handles);

    // Sizes out of range are refused.
    for (auto [w, h] : {std::pair<int16_t, int16_t>{0, 100}, {100, -1}, {8193, 10}}) EXPECT_EQ(Sized(r, w, h), 0u) << w;
    uint32_t picture = 0;
    EXPECT_EQ(HostGraphics(kHostSelWindowCaptureSized, &picture, nullptr), kHostErrBadParameter);
}

TEST_F(MoviePictureTest, ASizedPictureIsDrawnIntoTheCallersPictureOfItsSizeAndRefusedIntoAnother) {
    AddBox("BOX", {-6, -1, -3}, {6, 1, 5}, green);
    std::array<uint8_t, HostSizedCapture::kSize> r{};
    uint32_t fresh = Sized(r, 320, 180);
    ASSERT_NE(fresh, 0u);
    auto expected = PixMapToImage(fresh);
    ASSERT_TRUE(expected);

    // What the last frame left in the picture is drawn over, every pixel, and no picture is made.
    uint32_t given = NewPixMap32(320, 180);
    ASSERT_NE(given, 0u);
    std::memset(BKHandleData(given) + kPXHeaderSize, 0x5A, 320 * 180 * 4);
    size_t handles = BKLiveHandleCount();
    r[HostSizedCapture::kIntoGiven] = 1;
    uint32_t handle = given;
    EXPECT_EQ(HostGraphics(kHostSelWindowCaptureSized, &handle, r.data()), kHostErrPictureReady);
    EXPECT_EQ(handle, given);
    EXPECT_EQ(BKLiveHandleCount(), handles);
    auto drawn = PixMapToImage(given);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->pixels, expected->pixels);

    // Another size, an indexed picture, or no picture at all: refused, the caller's left as it was.
    uint32_t indexed = PXNewPixMap(320, 180, PXPixelFormat::Indexed8, 2);
    for (uint32_t other : {NewPixMap32(321, 180), indexed, 0u}) {
        const std::vector<uint8_t> before(BKHandleData(other), BKHandleData(other) + BKHandleSize(other));
        handle = other;
        EXPECT_EQ(HostGraphics(kHostSelWindowCaptureSized, &handle, r.data()), kHostErrBadParameter) << other;
        EXPECT_EQ(handle, other);
        EXPECT_EQ(std::vector<uint8_t>(BKHandleData(other), BKHandleData(other) + BKHandleSize(other)), before);
        BKDisposeHandle(other);
    }
    BKDisposeHandle(given);
    BKDisposeHandle(fresh);
}

TEST(FitCameraToAspect, WidensTheAngleOnlyForAWiderPicture) {
    ViewCamera c;
    c.fov = 60;
    EXPECT_EQ(FitCameraToAspect(c, 4.0 / 3, 1).fov, 60);
    EXPECT_EQ(FitCameraToAspect(c, 4.0 / 3, 4.0 / 3).fov, 60);
    double wider = FitCameraToAspect(c, 4.0 / 3, 16.0 / 9).fov;
    // The half-height's tangent stays: tan(fov/2) / aspect.
    EXPECT_NEAR(std::tan(wider * M_PI / 360) / (16.0 / 9), std::tan(60 * M_PI / 360) / (4.0 / 3), 1e-12);
    EXPECT_EQ(FitCameraToAspect(c, 0, 2).fov, 60);
    EXPECT_EQ(FitCameraToAspect(c, 1, NAN).fov, 60);
}

TEST_F(MoviePictureTest, ACanvasIsPaintedOverAPictureSeenThroughWhereAFillSaysSo) {
    uint32_t picture = NewPixMap32(100, 60);
    ASSERT_NE(picture, 0u);
    {
        auto pixels = PixMapPixels(picture);
        ASSERT_TRUE(pixels);
        for (int32_t y = 0; y < 60; ++y)
            for (int32_t x = 0; x < 100; ++x) pixels->At(x, y) = 0x000000;
    }
    DGCanvas canvas(100, 60);
    canvas.FillRect(0, 0, 50, 20, 0x800000FF); // red (0x00BBGGRR), about half seen through
    canvas.FillRect(50, 0, 100, 20, 0x00FF00); // green, solid
    canvas.DrawTextSized(2, 25, "Ábc", 30, 0xFFFFFF);
    uint32_t handle = picture;
    ASSERT_EQ(HostGraphics(kHostSelPictureDrawCanvas, &handle, &canvas), kHostNoError);
    auto image = PixMapToImage(picture);
    ASSERT_TRUE(image);
    uint32_t half = image->At(10, 10) & 0xFFFFFF;
    EXPECT_EQ(half & 0xFFFF, 0u);
    EXPECT_NEAR(static_cast<int>(half >> 16), 127, 2);
    EXPECT_EQ(image->At(70, 10) & 0xFFFFFF, 0x00FF00u);
    // A 30-pixel text reaches further down than the dialog font's 11 would.
    int32_t lowest = -1;
    for (int32_t y = 20; y < 60; ++y)
        for (int32_t x = 0; x < 100; ++x)
            if ((image->At(x, y) & 0xFFFFFF) != 0) lowest = std::max(lowest, y);
    EXPECT_GT(lowest, 25 + 18);
    BKDisposeHandle(picture);
    EXPECT_EQ(HostGraphics(kHostSelPictureDrawCanvas, &handle, nullptr), kHostErrBadParameter);
}

} // namespace
