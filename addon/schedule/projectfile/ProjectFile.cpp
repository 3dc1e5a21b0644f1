// The project file: a 64-byte header and one record per task, then, in version 5, the sections
// of what a schedule holds beyond its tasks: link rules, plans, looks, status,
// baselines (docs/PROJECT_FILE.md). A failed
// save never touches the file that was there, and a failed load leaves the open schedule and its
// file identity alone.
#include "schedule/tasks/TaskDB.h"

#include "bytes/LittleEndian.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/FileStreams.h"
#include "schedule/files/ScheduleFileSave.h"
#include "schedule/projectfile/BaselineRecord.h"
#include "schedule/projectfile/IfcTaskRecord.h"
#include "schedule/projectfile/LinkRulesRecord.h"
#include "schedule/projectfile/StatusRecord.h"
#include "schedule/projectfile/TaskPlanRecord.h"
#include "schedule/projectfile/TaskRecord.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/ScheduleFileError.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int16_t kUnusableIdLine = 32611;
// The display's looks (its appearance profiles), in the display's own form.
constexpr uint32_t kLooksSectionTag = 0x464F5250; // "PROF"

bool WriteSection(IOutStream& out, uint32_t tag, const std::vector<uint8_t>& body) {
    std::array<uint8_t, kProjectSectionHeadSize> head{};
    LE::Put<uint32_t>(head, 0, tag);
    LE::Put<uint32_t>(head, 4, static_cast<uint32_t>(body.size()));
    return out.WriteBytes(head.data(), head.size()) && (body.empty() || out.WriteBytes(body.data(), body.size()));
}

// The sections of a version 5 file, each known tag once, and nothing after them. A tag this
// reader does not know fails the load: saving over that file would lose what it holds.
// The display's looks are checked by the display, which takes them only once the whole file read.
int ReadSections(IInStream& in, uint32_t count, uint64_t fileSize, size_t taskCount, LinkRules& rules,
                 std::vector<TaskPlan>& plans, IElementDisplay* display, std::vector<uint8_t>& looks,
                 ScheduleStatus& status, std::vector<Baseline>& baselines) {
    // A schedule with nothing beyond its tasks is written as version 4.
    if (count == 0) return kScheduleFileBadRecord;
    bool rulesRead = false, plansRead = false, idsRead = false, looksRead = false, statusRead = false,
         baselinesRead = false;
    std::vector<std::string> ifcIds;
    for (uint32_t s = 0; s < count; ++s) {
        std::array<uint8_t, kProjectSectionHeadSize> head{};
        if (!in.ReadBytes(head.data(), head.size())) return kScheduleFileReadFailed;
        uint32_t tag = LE::Get<uint32_t>(head, 0), length = LE::Get<uint32_t>(head, 4);
        if (length > kProjectSectionMaxSize || length > fileSize) return kScheduleFileBadRecord;
        std::vector<uint8_t> body(length);
        if (length > 0 && !in.ReadBytes(body.data(), body.size())) return kScheduleFileReadFailed;
        if (tag == kRulesSectionTag && !rulesRead && ReadLinkRulesBytes(body, rules)) rulesRead = true;
        else if (tag == kPlanSectionTag && !plansRead && ReadTaskPlanBytes(body, taskCount, plans)) plansRead = true;
        else if (tag == kIfcTaskSectionTag && !idsRead && ReadIfcTaskBytes(body, taskCount, ifcIds)) idsRead = true;
        else if (tag == kStatusSectionTag && !statusRead && ReadStatusBytes(body, status)) statusRead = true;
        else if (tag == kBaselineSectionTag && !baselinesRead && ReadBaselineBytes(body, baselines)) baselinesRead = true;
        else if (tag == kLooksSectionTag && !looksRead && display && !body.empty() && display->TakeStoredLooks(body, false)) {
            looks = std::move(body);
            looksRead = true;
        } else {
            return kScheduleFileBadRecord;
        }
    }
    if (idsRead) {
        plans.resize(taskCount);
        for (size_t i = 0; i < taskCount; ++i) plans[i].ifcGlobalId = std::move(ifcIds[i]);
    }
    uint8_t extra = 0;
    return in.ReadBytes(&extra, 1) ? kScheduleFileBadRecord : kScheduleFileOk;
}

} // namespace

// The reader refuses a record whose id is below 1, so such a schedule is never written: that file
// could not be opened again. Each task at fault is named in the report window.
bool TaskDB::ReportUnusableIds() const {
    bool found = false;
    for (const Task& task : tasks_) {
        if (task.id >= 1) continue;
        std::string id = std::to_string(task.id);
        std::string line = AddonFormat(kUnusableIdLine, 1, {task.Name(), id});
        HostReportWrite(line.c_str(), 0);
        found = true;
    }
    return found;
}

bool TaskDB::SaveProjectFile(const std::string& path, bool synchronize) {
    return SaveScheduleFile(
        path, [this](FKReplacementFile& file, int32_t& error) { return WriteProjectFile(file, error); },
        [this] { return tasks_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()) || ReportUnusableIds(); },
        synchronize);
}

bool TaskDB::WriteProjectFile(FKReplacementFile& file, int32_t& error) const {
    FileOutStream out(file);

    // A plan of nothing but an IFC identity needs no plan section.
    const bool withIfc = plans_.size() == tasks_.size() && HasIfcTaskIds(plans_);
    const bool withRules = !linkRules_.Empty(),
               withPlans = HasPlan() && (!withIfc || std::any_of(plans_.begin(), plans_.end(), [](const TaskPlan& p) {
                                             TaskPlan bare = p;
                                             bare.ifcGlobalId.clear();
                                             return !bare.Empty();
                                         }));
    const std::vector<uint8_t> looks = elementHider_ ? elementHider_->StoredLooks() : std::vector<uint8_t>();
    const bool withLooks = !looks.empty();
    const ScheduleStatus status{statusDate_, view_};
    const bool withStatus = !status.Empty(), withBaselines = !baselines_.empty();
    const uint32_t sections = (withRules ? 1 : 0) + (withPlans ? 1 : 0) + (withIfc ? 1 : 0) + (withLooks ? 1 : 0) +
                              (withStatus ? 1 : 0) + (withBaselines ? 1 : 0);
    std::array<uint8_t, kProjectHeaderSize> header{};
    LE::Put<uint32_t>(header, 0, kProjectFileSignature);
    LE::Put<int32_t>(header, 4, sections > 0 ? kProjectFileSectionsVersion : kProjectFileVersion);
    LE::Put<int32_t>(header, 8, static_cast<int32_t>(tasks_.size()));
    if (sections > 0) LE::Put<uint32_t>(header, kProjectSectionCountOffset, sections);
    bool written = out.WriteBytes(header.data(), header.size());
    for (size_t i = 0; written && i < tasks_.size(); ++i) written = WriteTask(out, tasks_[i]) == kScheduleFileOk;
    if (written && withRules) written = WriteSection(out, kRulesSectionTag, LinkRulesBytes(linkRules_));
    if (written && withPlans) written = WriteSection(out, kPlanSectionTag, TaskPlanBytes(plans_));
    if (written && withIfc) written = WriteSection(out, kIfcTaskSectionTag, IfcTaskBytes(plans_));
    if (written && withLooks) written = WriteSection(out, kLooksSectionTag, looks);
    if (written && withStatus) written = WriteSection(out, kStatusSectionTag, StatusBytes(status));
    if (written && withBaselines) written = WriteSection(out, kBaselineSectionTag, BaselineBytes(baselines_));
    if (written && out.Flush()) return true;
    error = out.Error();
    return false;
}

bool TaskDB::LoadProjectFile(const std::string& path) {
    FKLocation location = FKLocation::FromPath8(path);
    if (!location.IsValid()) return false;
    FKFile file(location);
    if (file.OpenForReading() != kFKNoErr) {
        AddonAlert(kAlertLoadFailed);
        return false;
    }
    FileInStream in(file);
    std::array<uint8_t, kProjectHeaderSize> header{};
    if (!in.ReadBytes(header.data(), header.size())) {
        AddonAlert(kAlertLoadFailed);
        return false;
    }
    uint32_t signature = LE::Get<uint32_t>(header, 0);
    int32_t version = LE::Get<int32_t>(header, 4);
    int32_t count = LE::Get<int32_t>(header, 8);
    if (signature != kProjectFileSignature || version < 1 || version > kProjectFileSectionsVersion) {
        AddonAlert(kAlertLoadFailed);
        return false;
    }

    // The count is outside data: reserve no more than the file can hold.
    std::vector<Task> loaded;
    uint64_t size = 0;
    bool sized = file.GetSize(size) == kFKNoErr;
    if (!sized) size = UINT64_MAX;
    if (count > 0 && sized)
        loaded.reserve(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(count), size / kTaskRecordFixedSize)));
    const Task defaultTask;
    for (int32_t i = 0; i < count; ++i) {
        loaded.push_back(defaultTask);
        if (ReadTask(in, loaded.back(), version) != kScheduleFileOk) {
            AddonAlert(kAlertLoadFailed);
            return false;
        }
    }
    LinkRules rules;
    std::vector<TaskPlan> plans;
    std::vector<uint8_t> looks;
    ScheduleStatus status;
    std::vector<Baseline> baselines;
    if (version >= kProjectFileSectionsVersion &&
        ReadSections(in, LE::Get<uint32_t>(header, kProjectSectionCountOffset), size, loaded.size(), rules, plans,
                     elementHider_, looks, status, baselines) != kScheduleFileOk) {
        AddonAlert(kAlertLoadFailed);
        return false;
    }
    if (file.Close() != kFKNoErr) {
        AddonAlert(kAlertLoadFailed);
        return false;
    }
    ClearSchedule();
    ReplaceTasks(std::move(loaded), std::move(plans));
    linkRules_ = std::move(rules);
    statusDate_ = status.statusDate;
    view_ = status.view;
    baselines_ = std::move(baselines);
    if (elementHider_) elementHider_->TakeStoredLooks(looks, true);
    return true;
}
