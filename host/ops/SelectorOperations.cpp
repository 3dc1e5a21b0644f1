// The multiplexed services: environment, databases, utilities, automation and graphics, by selector.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "host/ops/GraphicsOperations.h"
#include "host/ops/HostCore.h"
#include "host/ops/LibPartOperations.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include <cstring>
#include <span>

#include <cstring>
#include <span>

using namespace hostops;

namespace hostops {

GSErr OpEnvironmentGet(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    HostCore& h = *c.host;
    if (selector == kHostSelProjectInfo) {
        if (!p1) return kHostErrBadParameter;
        auto rec = Span(static_cast<uint8_t*>(p1), HostProjectRecord::kSize);
        rec[HostProjectRecord::kUntitled] = h.projectPath.empty() ? 1 : 0;
        rec[HostProjectRecord::kShared] = h.sharedProject ? 1 : 0;
        LE::Put<int16_t>(rec, HostProjectRecord::kUserId, h.sharedProject ? h.userId : 0);
        if (!h.projectPath.empty()) {
            BKHandle path = BKNewHandle(h.projectPath.size());
            if (path) std::memcpy(BKHandleData(path), h.projectPath.data(), h.projectPath.size());
            std::string name = FKLocation::FromNativePath(h.projectPath).LastPart();
            BKHandle nameH = BKNewHandle(name.size());
            if (nameH) std::memcpy(BKHandleData(nameH), name.data(), name.size());
            LE::Put<uint32_t>(rec, HostProjectRecord::kPathHandle, path);
            LE::Put<uint32_t>(rec, HostProjectRecord::kNameHandle, nameH);
        }
        return kHostNoError;
    }
    if (selector == kHostSelAddonFolder) {
        if (!p1 || !p2) return kHostErrBadParameter;
        if (LE::Get<int32_t>(CSpan(static_cast<uint8_t*>(p1), 4), 0) != HostFolderRecord::kHelpFolder)
            return kHostErrBadParameter;
        *static_cast<FKLocation*>(p2) = FKLocation::FromNativePath(h.helpFolder);
        return kHostNoError;
    }
    if (selector == kHostSelSwitchGet) {
        if (!p1) return kHostErrBadParameter;
        *static_cast<uint8_t*>(p1) = h.hostSwitch ? 1 : 0;
        return kHostNoError;
    }
    if (selector == kHostSelRecovery) {
        if (!p1) return kHostErrBadParameter;
        auto rec = Span(static_cast<uint8_t*>(p1), HostRecoveryRecord::kSize);
        bool active = h.recoveryMode != HostRecoveryMode::None && !h.recoveryAddonPath.empty();
        LE::Put<int32_t>(rec, HostRecoveryRecord::kMode, active ? h.recoveryMode : HostRecoveryMode::None);
        if (active) {
            BKHandle path = BKNewHandle(h.recoveryAddonPath.size());
            if (!path) return kHostErrNoMemory;
            std::memcpy(BKHandleData(path), h.recoveryAddonPath.data(), h.recoveryAddonPath.size());
            LE::Put<uint32_t>(rec, HostRecoveryRecord::kPathHandle, path);
        }
        return kHostNoError;
    }
    if (selector == kHostSelProjectionGet) return GetProjection(h, p1);
    if (selector == kHostSelProjectionChange) return ChangeProjection(h, p1, p2);
    if (selector == kHostSelWindow3DSize) return GetWindowSize(h, false, p1, p2);
    if (selector == kHostSelPhotoWindowSize) return GetWindowSize(h, true, p1, p2);
    return kHostErrBadSelector;
}

GSErr OpEnvironmentSet(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    HostCore& h = *c.host;
    if (selector == kHostSelSwitchSet) {
        if (!p1) return kHostErrBadParameter;
        h.hostSwitch = *static_cast<uint8_t*>(p1) != 0;
        return kHostNoError;
    }
    if (selector == kHostSelMenuItemText) {
        if (!p1 || !p2) return kHostErrBadParameter;
        auto rec = CSpan(static_cast<uint8_t*>(p1), HostMenuItemRecord::kSize);
        int16_t menu = LE::Get<int16_t>(rec, HostMenuItemRecord::kMenuResId);
        int32_t item = LE::Get<int32_t>(rec, HostMenuItemRecord::kItem);
        if (c.addon->menuResId != menu || item < 1) return kHostErrBadParameter;
        const char* text = static_cast<const char*>(p2);
        std::string t(text, strnlen(text, 2048));
        h.menuTexts[{menu, item}] = t;
        if (h.Events().menuText) h.Events().menuText(menu, item, t);
        return kHostNoError;
    }
    if (selector == kHostSelToolSettings) return OpenToolSettings(h, p1);
    return kHostErrBadSelector;
}

namespace {

bool IsDatabaseKind(int32_t kind) {
    return kind == HostDatabaseKind::FloorPlan || kind == HostDatabaseKind::Section || kind == HostDatabaseKind::Detail ||
           kind == HostDatabaseKind::Layout || kind == HostDatabaseKind::Worksheet || kind == HostDatabaseKind::Elevation;
}

} // namespace

GSErr OpDatabaseQuery(uint32_t token, uint32_t selector, void* p1, void*) {
    Call c(token);
    if (!c || !p1) return kHostErrBadParameter;
    auto rec = Span(static_cast<uint8_t*>(p1), HostDatabaseRecord::kSize);
    if (selector == kHostSelDatabaseGet) {
        LE::Put<int32_t>(rec, HostDatabaseRecord::kKind, c.host->currentDatabase);
        return kHostNoError;
    }
    if (selector == kHostSelFrontWindowGet) {
        LE::Put<int32_t>(rec, HostDatabaseRecord::kKind, c.host->frontWindow);
        return kHostNoError;
    }
    if (selector == kHostSelDatabaseChange) {
        int32_t kind = LE::Get<int32_t>(rec, HostDatabaseRecord::kKind);
        // A database whose window is not open cannot be made current without bringing it up.
        if (!IsDatabaseKind(kind) || (kind != HostDatabaseKind::FloorPlan && kind != c.host->frontWindow))
            return kHostErrNotAvailable;
        c.host->currentDatabase = kind;
        return kHostNoError;
    }
    return kHostErrBadSelector;
}

GSErr OpUtility(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelKindName) {
        if (!p1 || !p2) return kHostErrBadParameter;
        std::string name = c.host->KindName(*static_cast<int32_t*>(p1));
        if (name.empty()) return kHostErrBadKind;
        BKCopyText(static_cast<char*>(p2), 256, name);
        return kHostNoError;
    }
    if (selector == kHostSelSelectionTypeToKind) {
        if (!p1 || !p2) return kHostErrBadParameter;
        int32_t kind = *static_cast<int32_t*>(p1) - HostSelection::kTypeBase;
        *static_cast<int32_t*>(p2) = HostElement::IsValidKind(kind) ? kind : 0;
        return HostElement::IsValidKind(kind) ? kHostNoError : kHostErrBadKind;
    }
    if (selector == kHostSelChangesBegin) {
        ++c.host->changeRunDepth;
        return kHostNoError;
    }
    if (selector == kHostSelChangesEnd) {
        if (c.host->changeRunDepth == 0) return kHostErrBadParameter;
        --c.host->changeRunDepth;
        return kHostNoError;
    }
    if (selector == kHostSelTypeTemplateId) return TypeTemplateId(*c.host, *c.addon, p1, p2);
    return kHostErrBadSelector;
}

GSErr OpAutomate(uint32_t token, uint32_t selector, void* p1, void*) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelRebuild) {
        ++c.host->rebuildCount;
        return kHostNoError;
    }
    if (selector == kHostSelWindowToFront) {
        if (!p1) return kHostErrBadParameter;
        int32_t kind = LE::Get<int32_t>(CSpan(static_cast<uint8_t*>(p1), 4), 0);
        if (!IsDatabaseKind(kind) && kind != HostDatabaseKind::Window3D) return kHostErrBadParameter;
        c.host->frontWindow = kind;
        if (IsDatabaseKind(kind)) c.host->currentDatabase = kind;
        return kHostNoError;
    }
    return kHostErrBadSelector;
}

GSErr OpGraphics(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelWindowCapture) return CaptureWindow(*c.host, p1, p2);
    if (selector == kHostSelWindowCaptureSized) return CaptureWindowSized(*c.host, p1, p2);
    if (selector == kHostSelPictureDrawCanvas) return DrawCanvasOnPicture(p1, p2);
    if (selector == kHostSelLibPartDraw) return DrawLibPartOnPicture(*c.host, p1, p2);
    if (selector == kHostSelCameraPathPositions) return CameraPathPositions(*c.host, p1, p2);
    if (selector == kHostSelCaptureMode) return SetCaptureMode(*c.host, p1);
    return kHostErrBadSelector;
}

} // namespace hostops
