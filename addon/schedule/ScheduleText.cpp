// The schedule text: Microsoft Project's tab-separated task export (ID, name, start, finish).
#include "schedule/TaskDB.h"

#include "basekit/BKText.h"
#include "basekit/FixedText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "schedule/ConstructionTypeText.h"
#include "schedule/DateOrder.h"
#include "schedule/DateOrderDialog.h"
#include "schedule/DateParseCache.h"
#include "schedule/DayBoundary.h"
#include "schedule/ScheduleTextLines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>

namespace {

constexpr int16_t kAlertCannotLoad = 32506;
constexpr int16_t kAlertUnknownDateOrder = 32518;
constexpr int16_t kAlertUnknownFormat = 32519;
constexpr int16_t kReadingNotes = 32614;
constexpr size_t kWriteBlock = 64 * 1024;

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The id field as the C library's string-to-long reads it (leading white space, a sign, digits;
// no digits give 0), kept within the id's 32 bits.
int32_t ReadId(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsCSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            value = std::numeric_limits<int32_t>::max() + int64_t{1};
            if (!negative) value = std::numeric_limits<int32_t>::max();
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The type letter before "_" in the name field, or -1 when the field has none.
int32_t TypeOfLetter(std::string_view field) {
    if (field.size() < 2 || field[1] != '_') return -1;
    char c = field[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (int32_t type = 0; type < kConstructionTypeCount; ++type)
        if (ConstructionTypeLetter(type) == c) return type;
    return -1;
}

// Which field of a line holds what; the type column is optional (-1).
struct ScheduleColumns {
    size_t id = 0, name = 1, start = 2, finish = 3;
    int32_t type = -1;
    size_t count = 4;
};

bool SameName(std::string_view field, std::string_view name) {
    return field.size() == name.size() && BKCompareText(field, name, BKCaseMode::Ignore) == 0;
}

constexpr size_t kMaxHeaderFields = 256;

// The documented header reads its first four fields in their order, as it always did. Any other
// header is mapped by its names, in any order, with Microsoft Project's own column names allowed.
std::optional<ScheduleColumns> ReadHeader(std::string_view line, const std::array<std::string, 4>& names) {
    auto first = SplitScheduleTextFields(line);
    bool documented = true;
    for (size_t i = 0; i < names.size(); ++i) documented = documented && SameName(first[i], names[i]);
    if (documented) return ScheduleColumns{};

    auto fields = SplitScheduleTextFields(line, kMaxHeaderFields);
    std::array<std::optional<size_t>, 5> found; // id, name, start, finish, type
    auto take = [&](size_t slot, size_t at) {
        if (!found[slot]) found[slot] = at;
    };
    for (size_t at = 0; at < fields.size(); ++at) {
        std::string_view f = fields[at];
        if (SameName(f, names[0]) || SameName(f, AddonString(32612, 1))) take(0, at);
        else if (SameName(f, names[1])) take(1, at);
        else if (SameName(f, names[2]) || SameName(f, AddonString(32612, 2))) take(2, at);
        else if (SameName(f, names[3]) || SameName(f, AddonString(32612, 3))) take(3, at);
        else if (SameName(f, AddonString(32612, 4)) || SameName(f, AddonString(32612, 5))) take(4, at);
    }
    if (!found[0] || !found[1] || !found[2] || !found[3]) return std::nullopt;
    ScheduleColumns c;
    c.id = *found[0];
    c.name = *found[1];
    c.start = *found[2];
    c.finish = *found[3];
    c.type = found[4] ? static_cast<int32_t>(*found[4]) : -1;
    c.count = std::max({c.id, c.name, c.start, c.finish, found[4].value_or(0)}) + 1;
    return c;
}

constexpr uint64_t kTypicalLineBytes = 40;
constexpr uint64_t kMaxReserve = 1u << 22;

// A date field as each date order reads it; only orders still possible after the whole file
// matter, and each of those has read every date.
struct FieldDates {
    bool present = false;
    std::array<DateTime, 3> byOrder{};
    DateTime In(DateOrder order) const { return byOrder[static_cast<size_t>(order)]; }
};

struct LineDates {
    FieldDates start, finish;
};

FieldDates ReadDates(DateOrderSet& candidates, std::string_view field, DateParseCache& cache) {
    FieldDates dates;
    if (field.empty()) return dates;
    dates.present = true;
    std::array<std::optional<DateTime>, 3> read;
    NarrowDateOrders(candidates, field, &cache, &read);
    for (size_t i = 0; i < read.size(); ++i) dates.byOrder[i] = read[i].value_or(DateTime::FromTicks(0, Invalid));
    return dates;
}

// A name written into a line must not break it into other fields or lines.
void AppendNameField(std::string& out, std::string_view name) {
    for (char c : name) out.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}

// The "%x" texts of one save: schedules repeat their days, and the locale cannot change meanwhile.
class DateTexts {
public:
    void Append(std::string& out, const DateTime& date) {
        // "Invalid datetime" would make the whole file unreadable; an empty field reads back as no date.
        if (date.status != Valid) return;
        auto [it, added] = texts_.try_emplace(date.ticks);
        if (added) it->second = Format(date);
        out += it->second;
    }

private:
    static std::string Format(const DateTime& date) {
        char text[128] = {};
        date.Format(text, sizeof text, "%x");
        return std::string(BKTextOf(text));
    }
    std::unordered_map<int64_t, std::string> texts_;
};

} // namespace

bool TaskDB::ImportScheduleText(const std::string& path) {
    FKFile file(FKLocation::FromPath8(path));
    if (file.OpenForReading() != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    ScheduleTextLineReader reader(file);
    std::string line;
    reader.NextLine(line);
    if (reader.Error() != 0) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    std::optional<ScheduleColumns> columns = ReadHeader(line, columnNames_);
    if (!columns) {
        AddonAlert(kAlertUnknownFormat, path.c_str());
        return false;
    }

    // One read of the file: each line's task is built at once together with what its dates read
    // in every order still possible, and the dates are settled when the order is known. (Reading
    // once also means a file rewritten meanwhile cannot mix two versions.)
    DateOrderSet candidates = AllDateOrders();
    DateParseCache cache;
    std::vector<Task> loaded;
    std::vector<LineDates> lineDates;
    uint64_t size = 0;
    if (file.GetSize(size) == kFKNoErr) {
        size_t estimate = static_cast<size_t>(std::min<uint64_t>(size / kTypicalLineBytes, kMaxReserve));
        loaded.reserve(estimate);
        lineDates.reserve(estimate);
    }
    const Task defaultTask;
    while (reader.NextLine(line)) {
        if (TrimBlanks(line).empty()) continue;
        auto fields = SplitScheduleTextFields(line, columns->count);
        std::string_view startField = fields[columns->start], nameField = fields[columns->name];
        LineDates dates;
        dates.start = ReadDates(candidates, startField, cache);
        dates.finish = ReadDates(candidates, fields[columns->finish], cache);
        int32_t type = TypeOfLetter(nameField);
        std::string_view name = type < 0 ? nameField : nameField.substr(2);
        if (name.empty() && startField.empty()) continue;
        if (columns->type >= 0) {
            int32_t named = ConstructionTypeOfText(fields[static_cast<size_t>(columns->type)]);
            if (named >= 0) type = named;
        }
        Task& task = loaded.emplace_back(defaultTask);
        task.id = ReadId(fields[columns->id]);
        task.type = type < 0 ? Construction : static_cast<ConstructionType>(type);
        task.SetName(name);
        lineDates.push_back(dates);
    }
    // A file that cannot be read to its end is not a shorter schedule.
    if (reader.Error() != 0) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    if (candidates.empty()) {
        AddonAlert(kAlertUnknownDateOrder, path.c_str());
        return false;
    }
    if (candidates.size() > 1 && !AskDateOrder(candidates)) return false;
    const DateOrder order = *candidates.begin();

    for (size_t i = 0; i < loaded.size(); ++i) {
        Task& task = loaded[i];
        const LineDates& dates = lineDates[i];
        if (dates.start.present) {
            task.start = dates.start.In(order);
            task.finish = task.start;
        }
        if (dates.finish.present) task.finish = EndOfDayOf(dates.finish.In(order));
    }
    (void)file.Close(); // everything was read; a close failure cannot change it
    tasks_ = std::move(loaded);
    if (reader.UnconvertibleCharacters() > 0) {
        std::string count = std::to_string(reader.UnconvertibleCharacters());
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    for (size_t number : reader.CutLines()) {
        std::string n = std::to_string(number);
        HostReportWrite(AddonFormat(kReadingNotes, 2, {n}).c_str(), 0);
    }
    return true;
}

bool TaskDB::SaveScheduleText(const std::string& path) const {
    FKLocation location = FKLocation::FromPath8(path);
    if (!location.IsValid()) return false;
    FKReplacementFile file(location);
    if (file.Open() != kFKNoErr) return false;

    DateTexts dates;
    std::string text;
    text.reserve(kWriteBlock + 2048);
    for (size_t i = 0; i < columnNames_.size(); ++i) {
        if (i) text += '\t';
        text += columnNames_[i];
    }
    text += "\r\n";
    for (const Task& task : tasks_) {
        char id[16];
        auto r = std::to_chars(id, id + sizeof id, task.id);
        text.append(id, r.ptr);
        text += '\t';
        // Type 5 has no letter; its name goes out as a construction's so that it reads back intact.
        char letter = ConstructionTypeLetter(task.type);
        text += letter ? letter : ConstructionTypeLetter(Construction);
        text += '_';
        AppendNameField(text, BKTextOf(task.name));
        text += '\t';
        dates.Append(text, task.start);
        text += '\t';
        dates.Append(text, task.finish.DayBefore());
        text += "\r\n";
        if (text.size() >= kWriteBlock) {
            if (file.Write(text.data(), text.size()) != kFKNoErr) return false;
            text.clear();
        }
    }
    if (!text.empty() && file.Write(text.data(), text.size()) != kFKNoErr) return false;
    return file.Commit() == kFKNoErr;
}
