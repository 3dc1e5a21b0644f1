#include "linking/LinksCsvCommands.h"

#include "bytes/FixedText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "linking/HostElementFacts.h"
#include "linking/LinkWrites.h"
#include "linking/WildcardPattern.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/SaveFailureReport.h"
#include "schedule/tasks/AnimationSettings.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace {

constexpr int16_t kReadTitle = 5, kWriteTitle = 6, kCsvType = 5, kCsvExtension = 7;
constexpr int16_t kReport = 32622;
constexpr int16_t kReadSummary = 1, kUnknownElement = 2, kUnknownTask = 3, kNoRoom = 4, kNoColumns = 5, kEmptyRow = 6,
                  kWritten = 7;
constexpr int16_t kStepNames = 32623, kImportStep = 2;
constexpr int16_t kReadingNotes = 32614, kUnmappable = 1;
constexpr size_t kMaxCsvFile = 256u << 20;

void Report(int16_t item, std::initializer_list<std::string_view> params) {
    HostReportWrite(AddonFormat(kReport, item, params).c_str(), 0);
}

std::string N(size_t n) { return std::to_string(n); }

std::string FileName(const std::string& path8) {
    size_t slash = path8.find_last_of("/\\");
    return slash == std::string::npos ? path8 : path8.substr(slash + 1);
}

// Where the elements a row names are found: by GlobalId (the model's, or the identifier's
// hexadecimal text in any letter case) and by ID text.
class ElementFinder {
public:
    explicit ElementFinder(const std::vector<ElementFacts>& elements) {
        for (size_t i = 0; i < elements.size(); ++i) {
            byGlobalId_.try_emplace(GlobalIdOf(elements[i]), i);
            byGuid_.try_emplace(elements[i].guid, i);
            byId_[elements[i].idText].push_back(i);
        }
    }
    std::vector<size_t> Find(const LinksCsvRow& row) const {
        if (!row.globalId.empty()) {
            if (auto it = byGlobalId_.find(row.globalId); it != byGlobalId_.end()) return {it->second};
            API_Guid guid;
            if (API_Guid::FromString(row.globalId, guid))
                if (auto it = byGuid_.find(guid); it != byGuid_.end()) return {it->second};
        }
        if (!row.elementId.empty())
            if (auto it = byId_.find(row.elementId); it != byId_.end()) return it->second;
        return {};
    }

private:
    std::unordered_map<std::string, size_t> byGlobalId_;
    std::unordered_map<API_Guid, size_t, API_GuidHash> byGuid_;
    std::unordered_map<std::string, std::vector<size_t>> byId_;
};

// The task a row names: by id when its task column holds a number the schedule has, else by name
// (as written, then without letter case), the first such task of the schedule.
class TaskFinder {
public:
    explicit TaskFinder(const TaskDB& db) : db_(db) {
        for (const Task& t : db.Tasks()) {
            if (t.id < 1) continue;
            byName_.try_emplace(std::string(t.Name()), t.id);
            byFoldedName_.try_emplace(FoldedCp1250(t.Name()), t.id);
        }
    }
    int32_t Find(const LinksCsvRow& row) const {
        if (!row.taskId.empty()) {
            int32_t id = 0;
            auto [end, ec] = std::from_chars(row.taskId.data(), row.taskId.data() + row.taskId.size(), id);
            if (ec == std::errc() && end == row.taskId.data() + row.taskId.size()) return Known(id) ? id : 0;
            if (int32_t byName = ByName(row.taskId)) return byName;
        }
        return row.taskName.empty() ? 0 : ByName(row.taskName);
    }

private:
    bool Known(int32_t id) const {
        bool known = false;
        if (id >= 1) db_.ForEachIndexOfId(id, [&](size_t) { known = true; });
        return known;
    }
    int32_t ByName(const std::string& name) const {
        if (auto it = byName_.find(name); it != byName_.end()) return it->second;
        if (auto it = byFoldedName_.find(FoldedCp1250(name)); it != byFoldedName_.end()) return it->second;
        return 0;
    }
    const TaskDB& db_;
    std::unordered_map<std::string, int32_t> byName_, byFoldedName_;
};

std::string RowElementText(const LinksCsvRow& row) { return row.globalId.empty() ? row.elementId : row.globalId; }
std::string RowTaskText(const LinksCsvRow& row) { return row.taskId.empty() ? row.taskName : row.taskId; }

} // namespace

void ImportLinks(TaskDB& db, IElementFacts& facts, const LinksCsv& csv, const std::string& fileName) {
    if (!db.Hider()) return;
    std::vector<ElementFacts> elements = facts.CollectElements();
    std::vector<ElementLink> links;
    links.reserve(elements.size());
    for (const ElementFacts& e : elements) links.push_back(e.link.Slots());
    ElementFinder elementFinder(elements);
    TaskFinder taskFinder(db);
    size_t added = 0, already = 0, skipped = 0;
    for (const LinksCsvRow& row : csv.rows) {
        std::string line = N(row.line);
        if (RowElementText(row).empty() || RowTaskText(row).empty()) {
            Report(kEmptyRow, {line});
            ++skipped;
            continue;
        }
        std::vector<size_t> found = elementFinder.Find(row);
        if (found.empty()) {
            Report(kUnknownElement, {line, RowElementText(row)});
            ++skipped;
            continue;
        }
        int32_t id = taskFinder.Find(row);
        if (id == 0) {
            Report(kUnknownTask, {line, RowTaskText(row)});
            ++skipped;
            continue;
        }
        for (size_t e : found) {
            ElementLink& slots = links[e];
            if (std::find(slots.begin(), slots.end(), id) != slots.end()) {
                ++already;
                continue;
            }
            auto free = std::find(slots.begin(), slots.end(), 0);
            if (free == slots.end()) {
                Report(kNoRoom, {line, elements[e].idText});
                ++skipped;
                continue;
            }
            *free = id;
            ++added;
        }
    }
    WriteChangedLinks(*db.Hider(), elements, links, AddonString(kStepNames, kImportStep));
    if (csv.unmappable > 0) HostReportWrite(AddonFormat(kReadingNotes, kUnmappable, {N(csv.unmappable)}).c_str(), 0);
    Report(kReadSummary, {fileName, N(csv.rows.size()), N(added), N(already), N(skipped)});
}

LinksCsvWriter ExportLinks(const TaskDB& db, IElementFacts& facts) {
    LinksCsvWriter writer;
    for (const ElementFacts& e : facts.CollectElements()) {
        std::string globalId = GlobalIdOf(e);
        for (int32_t id : e.link.Slots()) {
            if (id == 0) continue;
            std::string name;
            db.ForEachIndexOfId(id, [&](size_t i) {
                if (name.empty()) name = std::string(db.Tasks()[i].Name());
            });
            writer.Add(globalId, e.idText, id, name);
        }
    }
    return writer;
}

void ImportLinksCommand(TaskDB& db) {
    if (!db.Hider()) return;
    std::string path = AskLinkFile(FKFileDialogKind::Open, kReadTitle, kCsvType, kCsvExtension, {});
    if (path.empty()) return;
    std::string text;
    if (FKReadWholeFile(FKLocation::FromPath8(path), kMaxCsvFile, text) != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return;
    }
    LinksCsv csv;
    if (!ReadLinksCsv(text, csv)) {
        Report(kNoColumns, {FileName(path)});
        AddonAlert(kAlertLinkFileRefused, path.c_str());
        return;
    }
    HostElementFacts facts(*db.Hider());
    ImportLinks(db, facts, csv, FileName(path));
}

void ExportLinksCommand(TaskDB& db) {
    if (!db.Hider()) return;
    // Beside the schedule, named after it.
    std::string start(db.Settings().untitled ? std::string_view() : BKTextOf(db.Settings().projectFilePath));
    if (size_t dot = start.rfind('.'); dot != std::string::npos && start.find('/', dot) == std::string::npos)
        start.erase(dot);
    if (!start.empty()) start += "." + AddonString(32598, kCsvExtension);
    std::string path = AskLinkFile(FKFileDialogKind::Save, kWriteTitle, kCsvType, kCsvExtension, start);
    if (path.empty()) return;
    HostElementFacts facts(*db.Hider());
    LinksCsvWriter writer = ExportLinks(db, facts);
    FKReplacementFile file(FKLocation::FromPath8(path));
    int32_t error = file.Open();
    if (error == kFKNoErr) error = file.Write(writer.Text().data(), writer.Text().size());
    if (error == kFKNoErr) error = file.Commit();
    if (error != kFKNoErr) {
        ReportSaveFailure(path, error);
        AddonAlert(kAlertSaveFailed);
        return;
    }
    Report(kWritten, {FileName(path), N(writer.Rows())});
}
