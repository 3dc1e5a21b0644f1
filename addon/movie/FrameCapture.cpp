// One frame's picture: the camera of a camera-path frame, the host's picture, the caption and
// the label object drawn onto the picture.
#include "basekit/BKText.h"
#include "basekit/OwnedHandle.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostProjectionRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "movie/AnimationRunner.h"
#include "movie/CameraRecords.h"
#include "pixkit/PXPixMap.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool AppendIndex(std::vector<int32_t>& map, int32_t p, int32_t positions) {
    if (p < 0 || p >= positions) return false;
    map.push_back(p);
    return true;
}

} // namespace

bool AnimationRunner::BuildCameraPathFrames(int32_t pathIndex) {
    positions_.Reset();
    frameMap_.Reset();
    std::vector<uint8_t> wrapper(HostCameraPathWrapper::kSize, 0);
    LE::Put<int32_t>(wrapper, HostCameraPathWrapper::kPathIndex, pathIndex);
    auto path = ReadElementByIndex(HostElement::CameraPath, pathIndex);
    if (path.empty()) return false;
    std::memcpy(wrapper.data() + HostCameraPathWrapper::kRecord, path.data(), HostElement::kRecordSize);
    wrapper[HostCameraPathWrapper::kOk] = 1;
    OwnedHandle positions;
    if (HostGraphics(kHostSelCameraPathPositions, wrapper.data(), positions.Receive()) != kHostNoError || !positions)
        return false;
    positions_ = std::move(positions);
    // Asked again only for the number of positions.
    int32_t count = 0;
    if (OwnedHandle again; HostGraphics(kHostSelCameraPathPositions, wrapper.data(), again.Receive()) == kHostNoError)
        count = static_cast<int32_t>(again.Size() / HostCameraPosition::kSize);

    std::vector<int32_t> map;
    int32_t p = 0;
    int32_t k = LE::Get<int32_t>(path, HostElement::kPathCameraFrames);
    bool closed = path[HostElement::kPathClosed] != 0;
    bool failed = false;
    int32_t camera = LE::Get<int32_t>(path, HostElement::kPathFirstCamera);
    // A chain that comes back on itself would never end: each camera is walked once.
    std::vector<int32_t> seen;
    while (camera != 0 && !failed) {
        if (std::find(seen.begin(), seen.end(), camera) != seen.end()) break;
        seen.push_back(camera);
        auto rec = ReadElementByIndex(HostElement::Camera, camera);
        if (rec.empty()) {
            failed = true;
            break;
        }
        int32_t next = LE::Get<int32_t>(rec, HostElement::kCameraNextIndex);
        if (LE::Get<int32_t>(rec, HostElement::kCameraPathIndex) == pathIndex) {
            for (int16_t i = 0; i < LE::Get<int16_t>(rec, HostElement::kCameraFrames) && !failed; ++i)
                failed = !AppendIndex(map, p, count);
            if (next == 0 && closed) {
                failed = failed || !AppendIndex(map, p, count);
            } else {
                for (int32_t i = 0; i < k && !failed; ++i) failed = !AppendIndex(map, p + i, count);
                p += k;
            }
        }
        camera = next;
    }
    if (failed) return false;
    frameMap_.Reset(BKNewHandle(map.size() * 4));
    if (!frameMap_ && !map.empty()) return false;
    for (size_t i = 0; i < map.size(); ++i) LE::Put<int32_t>(std::span<uint8_t>(frameMap_.Data(), map.size() * 4), 4 * i, map[i]);
    return true;
}

bool AnimationRunner::PlaceCamera(int32_t frame) {
    if (!ok_) return false;
    if (!positions_ || !frameMap_) return ok_ = false;
    if (frame < 0) frame = writer_ ? writer_->framesWritten : 0;
    size_t mapped = frameMap_.Size() / 4;
    size_t positions = positions_.Size() / HostCameraPosition::kSize;
    if (frame >= frameCount_ || static_cast<size_t>(frame) >= mapped) return ok_;
    int32_t position = LE::Get<int32_t>(std::span<const uint8_t>(frameMap_.Data(), mapped * 4), 4 * static_cast<size_t>(frame));
    if (position < 0 || static_cast<size_t>(position) >= positions) return ok_;
    std::array<uint8_t, HostProjection::kSize> projection{};
    projection[HostProjection::kPerspective] = 1;
    std::memcpy(projection.data() + HostProjection::kCamera,
                positions_.Data() + static_cast<size_t>(position) * HostCameraPosition::kSize, HostCameraPosition::kSize);
    uint8_t zero = 0;
    ok_ = HostEnvironmentGet(kHostSelProjectionChange, projection.data(), &zero) == kHostNoError;
    return ok_;
}

bool AnimationRunner::CaptureFrame(OwnedHandle& picture) {
    if (!ok_) return false;
    const AnimationSettings& s = taskDB_.Settings();
    if (!s.fromCurrentView && !PlaceCamera(-1)) return false;
    std::array<uint8_t, HostSizedCapture::kSize> bytes{};
    bytes[HostCapture::kUse3DWindow] = use3DWindow_ ? 1 : 0;
    bytes[HostCapture::kFirstPicture] = s.fromCurrentView || !writer_ || writer_->framesWritten == 0 ? 1 : 0;
    OwnedHandle handle;
    GSErr err;
    if (sized_) {
        LE::Put<int16_t>(bytes, HostSizedCapture::kWidth, static_cast<int16_t>(width_));
        LE::Put<int16_t>(bytes, HostSizedCapture::kHeight, static_cast<int16_t>(height_));
        // The last frame's picture is drawn over: a large picture is not made and zeroed anew
        // for every frame.
        if (auto info = PXReadPixMapInfo(picture.Get());
            info && info->format == PXPixelFormat::Rgb32 && info->width == width_ && info->height == height_) {
            bytes[HostSizedCapture::kIntoGiven] = 1;
            uint32_t given = picture.Get();
            err = HostGraphics(kHostSelWindowCaptureSized, &given, bytes.data());
            ++captures_;
            ok_ = err == kHostNoError || err == kHostErrPictureReady;
            return ok_;
        }
        err = HostGraphics(kHostSelWindowCaptureSized, handle.Receive(), bytes.data());
    } else {
        err = HostGraphics(kHostSelWindowCapture, handle.Receive(), bytes.data());
    }
    ++captures_;
    ok_ = (err == kHostNoError || err == kHostErrPictureReady) && handle && handle.Size() > 0;
    if (!ok_) return false;
    picture = std::move(handle);
    return true;
}

bool AnimationRunner::SetCaption(std::string_view text) {
    if (!ok_ || !writer_) return false;
    writer_->SetCaption(text);
    return true;
}

void AnimationRunner::DrawLabelObject(BKHandle picture) {
    if (!ok_) return;
    const AnimationSettings& s = taskDB_.Settings();
    if (!s.labelObjectOn || BKTextOf(s.labelObjectName).empty()) return;
    char date[1024] = {};
    currentDate_.Format(date, sizeof date, "%x %H:%M");
    std::array<uint8_t, HostLibPart::kSize> part{};
    std::u16string name = BKToUtf16(BKTextOf(s.labelObjectName));
    if (name.size() > 255) name.resize(255);
    for (size_t i = 0; i < name.size(); ++i) LE::Put<uint16_t>(part, HostLibPart::kName + 2 * i, name[i]);
    GSErr found = HostLibPartSearch(part.data());
    OwnedHandle location(LE::Get<uint32_t>(part, HostLibPart::kLocation));
    if (found != kHostNoError) return;

    std::string dateName = AddonString(32606, 1), sideName = AddonString(32608, 1);
    std::u16string dateText = BKToUtf16(date);
    if (dateText.size() > 255) dateText.resize(255);
    BKHandle params = taskDB_.LabelParameters();
    size_t count = static_cast<size_t>(taskDB_.LabelParameterCount());
    if (params && count * HostLibPartParam::kSize > BKHandleSize(params)) count = BKHandleSize(params) / HostLibPartParam::kSize;
    for (size_t i = 0; i < count; ++i) {
        std::span<uint8_t> rec(BKHandleData(params) + i * HostLibPartParam::kSize, HostLibPartParam::kSize);
        std::string_view pname = LE::GetText(rec, HostLibPartParam::kName, HostLibPartParam::kNameSize);
        if (pname == dateName) {
            std::memset(rec.data() + HostLibPartParam::kValue, 0, HostLibPartParam::kSize - HostLibPartParam::kValue);
            for (size_t c = 0; c < dateText.size(); ++c) LE::Put<uint16_t>(rec, HostLibPartParam::kValue + 2 * c, dateText[c]);
        } else if (pname == sideName) {
            double side = width_ > 0 ? static_cast<double>(height_) / static_cast<double>(width_) : 0.0;
            uint64_t bits;
            std::memcpy(&bits, &side, 8);
            LE::Put<uint64_t>(rec, HostLibPartParam::kValue, bits);
        }
    }
    std::array<uint8_t, HostLabelDraw::kSize> draw{};
    LE::Put<int32_t>(draw, HostLabelDraw::kLibPart, LE::Get<int32_t>(part, HostLibPart::kIndex));
    LE::Put<uint32_t>(draw, HostLabelDraw::kParams, params);
    LE::Put<int32_t>(draw, HostLabelDraw::kFrame, writer_ ? writer_->framesWritten + 1 : 1);
    LE::Put<int32_t>(draw, HostLabelDraw::kFirstFrame, 1);
    LE::Put<int32_t>(draw, HostLabelDraw::kLastFrame, frameCount_);
    uint32_t handle = picture;
    HostGraphics(kHostSelLibPartDraw, &handle, draw.data());
}
