#pragma once
// The element display: decides what each linked element shows at the schedule's current date
// and changes the model accordingly, reversibly. It also carries the access to the link record
// the add-on keeps on each element.
#include "display/LookRecord.h"
#include "display/ProfileSet.h"
#include "display/StaggerOrders.h"
#include "display/WalkOrderedMap.h"
#include "hostapi/HostGuid.h"
#include "hostapi/HostGuidMap.h"
#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/ElementLink.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/ScheduleView.h"
#include "schedule/tasks/Task.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class TaskDB;

// What an element shows.

class ElementHider final : public IElementDisplay {
public:
    struct ShownState {
        Appearance code = Appearance::Absent;
        ConstructionType type = ConstructionType::Construction;
        // The host's change stamp of the element record last seen showing this pair with the
        // right pen (0: none). A stamp names one state of one element, so while the element
        // still carries it the pass needs no more than the element's header. Not compared.
        uint32_t stamp = 0;
        // The look laid over the element in the host (LookRecord.h), 0 for none.
        uint32_t lookPrint = 0;
        bool operator==(const ShownState& o) const { return code == o.code && type == o.type && lookPrint == o.lookPrint; }
    };
    // Kept in the order passes walk the model (see WalkOrderedMap.h).
    using ShownMap = WalkOrderedMap<ShownState>;
    struct LayerFlags {
        bool hidden = false;
        bool locked = false;
    };

    ElementHider() = default;
    ElementHider(const ElementHider&) = delete;
    ElementHider& operator=(const ElementHider&) = delete;

    void ReadElementLink(int32_t kind, const API_Guid& guid, ElementLinkRecord& out) const override;
    bool WriteElementLink(int32_t kind, const API_Guid& guid, const ElementLinkRecord& record,
                          bool mayUnlock) const override;
    void ClearLinkSlot(ElementLinkRecord& record, size_t slot, int32_t kind, const API_Guid& guid) const override;
    // Removes the element's link record.
    void RemoveElementLink(int32_t kind, const API_Guid& guid) const;
    // The host's element lock; the host may hand back an updated identifier.
    bool LockElement(int32_t kind, API_Guid& guid) const;
    bool UnlockElement(int32_t kind, API_Guid& guid) const;

    // Display passes.
    void LoadResources();
    void Prepare(TaskDB& db);
    void BeginPass();
    void EndPass();
    void ShowAtCurrentDate(TaskDB& db, int flag);
    bool ApplyToElement(TaskDB& db, int32_t kind, API_Guid guid, int16_t hiddenLayer, int flag = 0);
    void ShowAll(TaskDB& db);
    // The host's second window, when open: every linked element as the schedule's other view
    // (actual beside planned, planned beside the others) shows it at the current date. `fresh`: the host holds none of the looks this
    // display last gave it (the window just opened). Follows the host's own state of the model
    // otherwise, so a pass changes only what changed.
    void ShowSecondView(TaskDB& db, bool fresh = false);
    // Every element in the second window as in the first.
    void ClearSecondView();
    bool RestoreElement(TaskDB& db, int32_t kind, API_Guid guid) override;
    void ResetShownState(TaskDB& db, Appearance code);
    void Finish();
    int16_t SetHiddenLayerVisible(bool visible) override;
    bool IsDisplayable(int32_t kind, const API_Guid& guid) const override;
    std::pair<std::string, std::string> ElementKindAndId(int32_t kind, const API_Guid& guid) const override;
    void UnlockLayers() override;
    void RelockLayers() override;
    void CollectHiddenUserLayers() override;
    std::vector<uint8_t> StoredLooks() const override;
    bool TakeStoredLooks(std::span<const uint8_t> body, bool take) override;
    bool ChooseTaskLook(int32_t taskId, const std::string& profile) override {
        return profiles_.ChooseForTask(taskId, profile);
    }

    // Construction-type pens and materials.
    void LoadTypePens();
    void SetUpTypeMaterials();

    int32_t ErrorCount() const { return errorCount_; }
    // A pass the user drags through dates with sums up its errors only when the drag ends.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    bool NothingChanged() const { return nothingChanged_ != 0; }
    // While on, the first answer to the missing-task question holds for every later one, so a
    // movie asks once rather than on every frame.
    void SetMissingTaskAnswerHeld(bool held) {
        holdMissingTaskAnswer_ = held;
        heldMissingTaskAnswer_ = 0;
    }
    const std::array<int16_t, 5>& TypePens() const { return typePens_; }
    const std::array<int16_t, 5>& TypeMaterials() const { return typeMaterials_; }
    // A type outside the five is painted as a construction.
    int16_t TypePen(ConstructionType type) const { return typePens_[PaintedTypeIndex(type)]; }
    int16_t TypeMaterial(ConstructionType type) const { return typeMaterials_[PaintedTypeIndex(type)]; }
    const ShownMap& Shown() const { return shownState_; }
    // The looks of the schedule's tasks; a pass shows what they say.
    ProfileSet& Profiles() { return profiles_; }
    const ProfileSet& Profiles() const { return profiles_; }
    // The model shows the schedule at a date (a pass at a date ran since the last show-all).
    bool ShowsDate() const { return showsDate_; }
    const std::string& HiddenLayerName() const { return hiddenLayerName_; }

private:
    // The answer of alert 32522 for a slot whose task is missing: 1 unlink, 2 keep, else stop.
    int AnswerMissingTask(int32_t kind, const API_Guid& guid, int32_t taskId);
    static constexpr int kKeepLink = 2;
    static constexpr int16_t kReportTexts = 32510, kMissingTaskKept = 17;
    bool holdMissingTaskAnswer_ = false;
    int heldMissingTaskAnswer_ = 0;
    static size_t PaintedTypeIndex(ConstructionType type) {
        return IsKnownConstructionType(type) ? ConstructionTypeIndex(type) : 0;
    }
    // What an element governed by no task is cached with: a value no task holds.
    static constexpr ConstructionType kNoGoverningType = static_cast<ConstructionType>(6);
    struct Governing {
        ConstructionType type = kNoGoverningType;
        Appearance code = Appearance::Unlinked;
        uint32_t lookPrint = 0;
        LookBytes look{};
        ElementLook shown;        // what `look` holds, before any stagger
        int32_t staggerTask = 0;  // the governing task's id when its elements appear one by one
    };
    void CollectStaggerOrders(const TaskDB& db);
    // Narrows the growth to the element's share of its task's: each grows in its turn.
    void StaggerLook(Governing& pair, const API_Guid& guid) const;
    // `beforeWrite` runs before a missing task's slot is written (it unlocks a locked element).
    Governing FindGoverning(TaskDB& db, ElementLinkRecord& link, int32_t kind, const API_Guid& guid,
                            const std::pair<std::string, std::string>* names,
                            const std::function<void()>& beforeWrite);
    // The task alone governs an element linked to it alone. `index` is the task's place in the
    // schedule, for what the view knows of it.
    Governing GoverningOfOne(const Task& task, size_t index, const DateTime& current) const;
    // What the governing task's profile shows at `current`, in the schedule's view.
    Governing GoverningBy(const Task& task, size_t index, const DateTime& current) const;
    // The tasks as the schedule's view sees them at the current date, by index: their actual
    // dates in the actual view, with where each stands against its plan in the comparison. Left
    // empty in the planned view, whose tasks are the schedule's own. Filled while a pass walks
    // the model.
    void CollectViewTasks(const TaskDB& db, ScheduleView view);
    const Task& PassTask(const TaskDB& db, size_t index) const;
    // Per task id, what an element linked to that one task shows during this pass, for ids no
    // other task holds: most elements link one task, and this small table stays in the cache
    // where the tasks themselves, a few hundred bytes each, do not in a large model.
    struct OneTaskLook {
        bool known = false;
        Governing pair;
    };
    void CollectOneTaskLooks(const TaskDB& db);
    const Governing* OneTaskLookOf(const ElementLinkRecord& link) const;
    bool OnHiddenUserLayer(int16_t layer) const { return hiddenUserLayers_.count(layer) != 0; }
    bool PassesOwnerFilter(const TaskDB& db, int32_t kind, const API_Guid& guid) const;

    uint8_t switchSaved_ = 0;
    bool switchRead_ = false;
    int32_t errorCount_ = 0;
    bool quiet_ = false;
    bool showsDate_ = false;
    std::array<int16_t, 5> typePens_{255, 254, 253, 252, 251};
    std::array<int16_t, 5> typeMaterials_{};
    std::map<int16_t, LayerFlags> hiddenUserLayers_;
    std::set<int16_t> unlockedLayers_;
    ShownMap shownState_;
    ProfileSet profiles_;
    std::vector<OneTaskLook> oneTaskLooks_; // by id; filled only while a pass walks the model
    std::vector<Task> viewTasks_;                 // by index, see CollectViewTasks
    std::vector<std::optional<double>> viewProgress_;
    std::vector<PlanStanding> standings_;
    // The elements of each task under way whose profile staggers, by their place in the order
    // they appear along the growth; filled only while a pass walks the model.
    std::unordered_map<int32_t, StaggerOrder> staggerOrders_;
    // While set, a pass fills the second window: it asks nothing and reports nothing, the first
    // pass having done so.
    bool secondPass_ = false;
    // What the second window shows of each element, as a print of the host's three values.
    GuidMap<uint64_t> secondShown_;
    // The record and mask of the element a pass is changing, kept so that a pass over many
    // elements allocates them once.
    std::vector<uint8_t> passRecord_, passMask_;
    uint8_t nothingChanged_ = 0;
    std::string hiddenLayerName_;
};
