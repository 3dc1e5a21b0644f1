// Microsoft Project's XML ("Save As XML"): the tasks of a plan as another planning program
// writes them. Only read; a schedule from it is saved as a project file or a schedule text.
#include "schedule/TaskDB.h"

#include "basekit/BKText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/ConstructionTypeText.h"
#include "schedule/DayBoundary.h"
#include "schedule/ScheduleTextLines.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int16_t kReadingNotes = 32614;
constexpr uint64_t kMaxFileBytes = 256u << 20;

// The whole file, or nothing when it cannot be read to its end within the limit.
std::optional<std::string> ReadWhole(FKFile& file) {
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        size_t got = 0;
        int32_t err = file.Read(buffer.data(), buffer.size(), got);
        bytes.append(buffer.data(), got);
        if (bytes.size() > kMaxFileBytes) return std::nullopt;
        if (err == kFKEndOfFileErr) return bytes;
        if (err != kFKNoErr) return std::nullopt;
    }
}

// Element names without a namespace prefix: writers differ in whether they use one.
bool IsNamed(const pugi::xml_node& node, std::string_view name) {
    std::string_view full = node.name();
    size_t colon = full.find(':');
    return (colon == std::string_view::npos ? full : full.substr(colon + 1)) == name;
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && IsNamed(c, name)) return c;
    return {};
}

std::string_view Trimmed(const char* text) {
    std::string_view s(text);
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string_view::npos ? std::string_view() : s.substr(b, e - b + 1);
}

std::string_view TextOf(const pugi::xml_node& node, std::string_view name) { return Trimmed(Child(node, name).text().get()); }

std::optional<int64_t> NumberOf(std::string_view text) {
    int64_t value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// "2009-03-02T08:00:00": the day, at midnight. Empty when the text is no such date.
std::optional<DateTime> DayOf(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || (text.size() > 10 && text[10] != 'T')) return std::nullopt;
    auto y = NumberOf(text.substr(0, 4)), m = NumberOf(text.substr(5, 2)), d = NumberOf(text.substr(8, 2));
    if (!y || !m || !d) return std::nullopt;
    DateTime day(static_cast<int32_t>(*y), static_cast<int32_t>(*m), static_cast<int32_t>(*d));
    if (day.status != DateTimeStatus::Valid) return std::nullopt;
    return day;
}

int32_t ClampedId(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The type letter before "_" in a name, or nothing.
std::optional<ConstructionType> TypeOfPrefix(std::string_view name) {
    if (name.size() < 2 || name[1] != '_') return std::nullopt;
    return ConstructionTypeOfText(name.substr(0, 1));
}

} // namespace

bool TaskDB::ImportProjectXml(const std::string& path) {
    FKFile file(FKLocation::FromPath8(path));
    if (file.OpenForReading() != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    std::optional<std::string> bytes = ReadWhole(file);
    (void)file.Close(); // everything was read, or nothing is used
    if (!bytes) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_auto);
    pugi::xml_node project = document.document_element();
    if (!parsed || !IsNamed(project, "Project")) {
        AddonAlert(kAlertUnknownFormat, path.c_str());
        return false;
    }

    // Custom fields the plan calls "Típus" or "Type" hold the construction type.
    size_t lost = 0;
    std::set<std::string> typeFields;
    for (pugi::xml_node a : Child(project, "ExtendedAttributes").children()) {
        if (!IsNamed(a, "ExtendedAttribute")) continue;
        std::string alias = BKFromUtf8(TextOf(a, "Alias"));
        if (alias.empty()) continue;
        auto same = [&alias](std::string_view word) {
            return alias.size() == word.size() && BKCompareText(alias, word, BKCaseMode::Ignore) == 0;
        };
        if (same(AddonString(32612, 4)) || same(AddonString(32612, 5))) typeFields.emplace(TextOf(a, "FieldID"));
    }

    std::vector<Task> loaded;
    const Task defaultTask;
    for (pugi::xml_node t : Child(project, "Tasks").children()) {
        if (!IsNamed(t, "Task")) continue;
        std::optional<int64_t> uid = NumberOf(TextOf(t, "UID"));
        std::optional<int64_t> id = NumberOf(TextOf(t, "ID"));
        // The plan's own summary row, summary tasks and blank rows are no work on the site.
        if ((uid && *uid == 0) || TextOf(t, "Summary") == "1" || TextOf(t, "IsNull") == "1") continue;
        std::string name = Utf8ToCodePage(TextOf(t, "Name"), lost);
        if (name.empty()) continue;

        Task& task = loaded.emplace_back(defaultTask);
        task.id = ClampedId(id ? *id : uid.value_or(0));
        std::optional<ConstructionType> type = TypeOfPrefix(name);
        task.SetName(type ? std::string_view(name).substr(2) : std::string_view(name));
        for (pugi::xml_node a : t.children()) {
            if (!IsNamed(a, "ExtendedAttribute") || !typeFields.count(std::string(TextOf(a, "FieldID")))) continue;
            if (auto named = ConstructionTypeOfText(BKFromUtf8(TextOf(a, "Value")))) type = named;
        }
        task.type = type.value_or(ConstructionType::Construction);

        std::string_view startText = TextOf(t, "Start"), finishText = TextOf(t, "Finish");
        std::optional<DateTime> start = DayOf(startText), finish = DayOf(finishText);
        if ((!startText.empty() && !start) || (!finishText.empty() && !finish)) {
            AddonAlert(kAlertUnknownDateOrder, path.c_str());
            return false;
        }
        if (start) task.start = task.finish = *start;
        // A milestone lasts its day, as does every task through its finish's day.
        if (TextOf(t, "Milestone") == "1" && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);
    }
    if (loaded.empty()) {
        AddonAlert(kAlertUnknownFormat, path.c_str());
        return false;
    }
    ReplaceTasks(std::move(loaded));
    if (lost > 0) {
        std::string count = std::to_string(lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
