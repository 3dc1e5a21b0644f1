#include "host/ops/GraphicsOperations.h"

#include "basekit/BKMemory.h"
#include "bytes/LittleEndian.h"
#include "host/ops/GraphicsState.h"
#include "host/ops/HostCore.h"
#include "host/render/CanvasPainting.h"
#include "host/render/Pictures.h"
#include "host/render/WindowPictures.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostProjectionRecord.h"

#include <cstring>
#include <optional>
#include <set>

namespace {

// Camera positions one path may give; beyond this the path is refused rather than half made.
constexpr int64_t kMaxPathPositions = 100000;

} // namespace

HostGraphicsState& GraphicsOf(HostCore& host) {
    if (!host.graphics) host.graphics = std::make_shared<HostGraphicsState>();
    return *host.graphics;
}

GSErr GetProjection(HostCore& host, void* record) {
    if (!record) return kHostErrBadParameter;
    WriteProjection(host.Model().view.Camera(), {static_cast<uint8_t*>(record), HostProjection::kSize});
    return kHostNoError;
}

GSErr ChangeProjection(HostCore& host, void* record, void*) {
    if (!record) return kHostErrBadParameter;
    std::span<const uint8_t> r(static_cast<const uint8_t*>(record), HostProjection::kSize);
    if (r[HostProjection::kPerspective] != 1) return kHostErrBadParameter; // only perspective views exist here
    HostModel& model = host.Model();
    auto camera = ReadCameraPosition(r.subspan(HostProjection::kCamera, HostCameraPosition::kSize), model.view.Camera());
    if (!camera) return kHostErrBadParameter;
    HostGraphicsState& g = GraphicsOf(host);
    if (g.capturing && !g.viewBeforeCapture) g.viewBeforeCapture = model.view;
    model.view.SetCamera(*camera);
    return kHostNoError;
}

GSErr GetWindowSize(HostCore& host, bool photo, void* record, void* param2) {
    if (!record) return kHostErrBadParameter;
    // The photo window is asked for by its number, 1; there is no other.
    if (photo && param2 && *static_cast<int32_t*>(param2) != 1) return kHostErrBadParameter;
    auto [w, h] = WindowSize(host.Model(), photo ? RenderStyle::Photo : RenderStyle::Window3D);
    std::span<uint8_t> r(static_cast<uint8_t*>(record), HostWindowSize::kSize);
    std::memset(r.data(), 0, r.size());
    LE::Put<int16_t>(r, HostWindowSize::kWidth, static_cast<int16_t>(w));
    LE::Put<int16_t>(r, HostWindowSize::kHeight, static_cast<int16_t>(h));
    return kHostNoError;
}

namespace {

// The window's picture at `width` by `height` (0, 0: the window's own size), its view fitted,
// in a new picture or, with `intoGiven`, into the caller's in *pictureOut.
GSErr Capture(HostCore& host, void* pictureOut, bool use3D, int32_t width, int32_t height, bool intoGiven = false) {
    // Drawn straight into the pixel map: no picture in between.
    HostModel& model = host.Model();
    RenderStyle style = use3D ? RenderStyle::Window3D : RenderStyle::Photo;
    auto [windowWidth, windowHeight] = WindowSize(model, style);
    ViewCamera camera = model.view.Camera();
    if (width == 0 || height == 0) {
        width = windowWidth;
        height = windowHeight;
    } else if (windowWidth > 0 && windowHeight > 0) {
        camera = FitCameraToAspect(camera, static_cast<double>(windowWidth) / windowHeight,
                                   static_cast<double>(width) / height);
    }
    std::optional<PixelView> given;
    if (intoGiven) {
        given = PixMapPixels(*static_cast<const uint32_t*>(pictureOut));
        if (!given || given->width != width || given->height != height) return kHostErrBadParameter;
    }
    const Scene& scene = GraphicsOf(host).scene.Update(model);
    auto draw = [&](const PixelView& pixels) {
        SharedRenderer().Render(scene, camera, pixels, style, WindowBackground(model, style));
    };
    if (given) {
        draw(*given);
        return kHostErrPictureReady;
    }
    BKHandle picture = NewPixMapDrawn(width, height, draw);
    if (!picture) return kHostErrNoMemory;
    *static_cast<uint32_t*>(pictureOut) = picture;
    return kHostErrPictureReady;
}

} // namespace

GSErr CaptureWindow(HostCore& host, void* pictureOut, void* options) {
    if (!pictureOut) return kHostErrBadParameter;
    bool use3D = !options || static_cast<const uint8_t*>(options)[HostCapture::kUse3DWindow] != 0;
    return Capture(host, pictureOut, use3D, 0, 0);
}

GSErr CaptureWindowSized(HostCore& host, void* pictureOut, void* record) {
    if (!pictureOut || !record) return kHostErrBadParameter;
    std::span<const uint8_t> r(static_cast<const uint8_t*>(record), HostSizedCapture::kSize);
    int32_t width = LE::Get<int16_t>(r, HostSizedCapture::kWidth), height = LE::Get<int16_t>(r, HostSizedCapture::kHeight);
    if (width < 1 || height < 1 || width > HostSizedCapture::kMostPixels || height > HostSizedCapture::kMostPixels)
        return kHostErrBadParameter;
    return Capture(host, pictureOut, r[HostSizedCapture::kUse3DWindow] != 0, width, height,
                   r[HostSizedCapture::kIntoGiven] != 0);
}

GSErr SetCaptureMode(HostCore& host, void* flag) {
    if (!flag) return kHostErrBadParameter;
    HostGraphicsState& g = GraphicsOf(host);
    g.capturing = *static_cast<const uint8_t*>(flag) != 0;
    if (!g.capturing && g.viewBeforeCapture) {
        host.Model().view = std::move(*g.viewBeforeCapture);
        g.viewBeforeCapture.reset();
    }
    return kHostNoError;
}

GSErr CameraPathPositions(HostCore& host, void* wrapper, void* positionsOut) {
    if (!wrapper || !positionsOut) return kHostErrBadParameter;
    std::span<const uint8_t> w(static_cast<const uint8_t*>(wrapper), HostCameraPathWrapper::kSize);
    int32_t pathIndex = LE::Get<int32_t>(w, HostCameraPathWrapper::kPathIndex);
    HostModel& model = host.Model();
    Element* path = model.FindByIndex(HostElement::CameraPath, pathIndex);
    if (!path) return kHostErrNoElement;
    ViewCamera base = model.view.Camera();
    std::vector<ViewCamera> cameras;
    std::set<int32_t> seen;
    for (int32_t i = LE::Get<int32_t>(path->Bytes(), HostElement::kPathFirstCamera); i != 0;) {
        if (!seen.insert(i).second) return kHostErrBadParameter; // a chain that runs in a circle
        Element* cam = model.FindByIndex(HostElement::Camera, i);
        if (!cam) return kHostErrNoElement;
        if (LE::Get<int32_t>(cam->Bytes(), HostElement::kCameraPathIndex) == pathIndex) {
            auto c = CameraOfElement(cam->camera, base);
            if (!c) return kHostErrNotAvailable;
            cameras.push_back(*c);
        }
        i = LE::Get<int32_t>(cam->Bytes(), HostElement::kCameraNextIndex);
    }
    if (cameras.empty()) return kHostErrNotAvailable;
    int64_t k = std::max<int32_t>(1, LE::Get<int32_t>(path->Bytes(), HostElement::kPathCameraFrames));
    if (k * static_cast<int64_t>(cameras.size()) > kMaxPathPositions) return kHostErrBadParameter;
    // The path flag: the path ends at its last camera; without it the last camera leads back to
    // the first, so the walk is a loop. k positions lead from each camera to the next.
    bool endsAtLast = path->record[HostElement::kPathClosed] != 0;
    size_t legs = endsAtLast ? cameras.size() - 1 : cameras.size();
    size_t count = legs * static_cast<size_t>(k) + (endsAtLast ? 1 : 0);
    BKHandle h = BKNewHandle(count * HostCameraPosition::kSize);
    if (!h) return kHostErrNoMemory;
    uint8_t* out = BKHandleData(h);
    size_t n = 0;
    for (size_t i = 0; i < legs; ++i) {
        const ViewCamera& a = cameras[i];
        const ViewCamera& b = cameras[(i + 1) % cameras.size()];
        for (int64_t j = 0; j < k; ++j, ++n)
            WriteCameraPosition(Between(a, b, static_cast<double>(j) / static_cast<double>(k)),
                                {out + n * HostCameraPosition::kSize, HostCameraPosition::kSize});
    }
    if (endsAtLast) WriteCameraPosition(cameras.back(), {out + n * HostCameraPosition::kSize, HostCameraPosition::kSize});
    *static_cast<uint32_t*>(positionsOut) = h;
    return kHostNoError;
}

GSErr DrawCanvasOnPicture(void* pictureHandle, void* canvas) {
    if (!pictureHandle || !canvas) return kHostErrBadParameter;
    BKHandle picture = *static_cast<const uint32_t*>(pictureHandle);
    const auto& c = *static_cast<const DGCanvas*>(canvas);
    if (auto pixels = PixMapPixels(picture)) {
        PaintCanvas(c, *pixels);
        return kHostNoError;
    }
    auto image = PixMapToImage(picture);
    if (!image) return kHostErrBadParameter;
    PaintCanvas(c, ViewOf(*image));
    return ImageIntoPixMap(*image, picture) ? kHostNoError : kHostErrBadParameter;
}
