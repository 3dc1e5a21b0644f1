#pragma once
// What the schedule's element-link operations and checks ask of the element display. The
// display lies above the schedule; this is the schedule's view of it.
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostGuid.h"
#include "schedule/tasks/ElementLink.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

class TaskDB;

class IElementDisplay {
public:
    // The kinds whose elements carry links and take part in display passes.
    static bool IsDisplayableKind(int32_t kind) {
        using namespace HostElement;
        return (kind >= Wall && kind <= Mesh) || (kind >= Zone && kind <= Line) || (kind >= Arc && kind <= Spline) ||
               kind == CurtainWall;
    }

    // Link record access. Reading throws EElementHider (code 220 when the element has none);
    // writing returns false when the host refuses user data on the element.
    virtual void ReadElementLink(int32_t kind, const API_Guid& guid, ElementLinkRecord& out) const = 0;
    virtual bool WriteElementLink(int32_t kind, const API_Guid& guid, const ElementLinkRecord& record,
                                  bool mayUnlock) const = 0;
    // Empties one slot and writes the record at once; a failure shows the internal-error alert.
    virtual void ClearLinkSlot(ElementLinkRecord& record, size_t slot, int32_t kind, const API_Guid& guid) const = 0;

    virtual bool RestoreElement(TaskDB& db, int32_t kind, API_Guid guid) = 0;
    virtual int16_t SetHiddenLayerVisible(bool visible) = 0;
    virtual bool IsDisplayable(int32_t kind, const API_Guid& guid) const = 0;
    // The host's name of the kind and the element's ID text (8-bit code page).
    virtual std::pair<std::string, std::string> ElementKindAndId(int32_t kind, const API_Guid& guid) const = 0;
    virtual void UnlockLayers() = 0;
    virtual void RelockLayers() = 0;
    // Notes the layers the user hid now, so a layer shown again is linkable without a pass.
    virtual void CollectHiddenUserLayers() = 0;

    // The display's part of the project file (its looks): empty while it holds only its defaults.
    virtual std::vector<uint8_t> StoredLooks() const = 0;
    // Whether `body` is a form StoredLooks gives (empty: the defaults); with `take` the display
    // takes it, and only then changes.
    virtual bool TakeStoredLooks(std::span<const uint8_t> body, bool take) = 0;
    // The task takes the named appearance profile (8-bit); false, nothing changed, when the
    // display has none of that name.
    virtual bool ChooseTaskLook(int32_t taskId, const std::string& profile) = 0;

protected:
    ~IElementDisplay() = default;
};
