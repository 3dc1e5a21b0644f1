// The schedule text: Microsoft Project's tab-separated task export (ID, name, start, finish).
#include "schedule/tasks/TaskDB.h"

#include "basekit/BKText.h"
#include "bytes/FixedText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileSave.h"
#include "schedule/formats/DateOrder.h"
#include "schedule/formats/DateOrderDialog.h"
#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/DayBoundary.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>

namespace {

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

// The type letter before "_" in the name field, or nothing when the field has none.
std::optional<ConstructionType> TypeOfLetter(std::string_view field) {
    if (field.size() < 2 || field[1] != '_') return std::nullopt;
    char c = field[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (int32_t value = 0; value < kConstructionTypeCount; ++value)
        if (ConstructionTypeLetter(static_cast<ConstructionType>(value)) == c)
            return static_cast<ConstructionType>(value);
    return std::nullopt;
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

// The date texts of one import, each read once in all three orders: schedules repeat their
// days on many lines, so a line keeps only the number of its text's entry. Only the orders still
// possible after the whole file matter, and each of those has read every date.
class DateTexts3 {
public:
    static constexpr uint32_t kNone = UINT32_MAX; // an empty field
    struct Entry {
        std::array<DateTime, 3> byOrder{};
        std::array<DateTime, 3> endOfDay{}; // EndOfDayOf each, for a finish
        uint8_t readable = 0; // bit per order: the text is a date in that order
    };

    DateTexts3() : slots_(kSlots) {}

    // The entry of a date field (kNone when it is empty); drops from `candidates` every order
    // the text is no date in.
    uint32_t Read(std::string_view field, uint8_t& candidates) {
        if (field.empty()) return kNone;
        uint32_t e = Find(field);
        candidates &= readable_[e];
        return e;
    }
    const Entry& At(uint32_t e) const { return entries_[e]; }

private:
    static constexpr size_t kSlots = 2048; // at first; a power of two
    static constexpr size_t kMaxText = 16;
    struct Slot {
        uint64_t words[2] = {};
        uint32_t entry = kNone;
        uint8_t length = 0;
    };

    uint32_t Add(std::string_view text) {
        Entry entry;
        for (int order = YearMonthDay; order <= MonthDayYear; ++order) {
            std::optional<DateTime> date = ParseDate(text, static_cast<DateOrder>(order));
            entry.byOrder[static_cast<size_t>(order)] = date.value_or(DateTime::FromTicks(0, DateTimeStatus::Invalid));
            entry.endOfDay[static_cast<size_t>(order)] = EndOfDayOf(entry.byOrder[static_cast<size_t>(order)]);
            if (date) entry.readable = static_cast<uint8_t>(entry.readable | 1u << order);
        }
        entries_.push_back(entry);
        readable_.push_back(entry.readable);
        return static_cast<uint32_t>(entries_.size() - 1);
    }

    static uint64_t Hash(const uint64_t (&w)[2], size_t length) {
        uint64_t h = (length * 0x9E3779B97F4A7C15ull ^ w[0]) * 0xC2B2AE3D27D4EB4Full;
        h = (h ^ w[1] ^ (h >> 31)) * 0x165667B19E3779F9ull;
        return h ^ (h >> 29);
    }

    // A text of at most 16 bytes as two words: for each length a different text gives different
    // words. Fixed-size loads only (overlapping for lengths between the word sizes), so no byte
    // copy stalls the word read that follows it.
    static void WordsOf(std::string_view text, uint64_t (&w)[2]) {
        const char* p = text.data();
        size_t n = text.size();
        auto load8 = [](const char* at) { uint64_t v; std::memcpy(&v, at, 8); return v; };
        auto load4 = [](const char* at) { uint32_t v; std::memcpy(&v, at, 4); return uint64_t{v}; };
        if (n >= 8) {
            w[0] = load8(p);
            w[1] = load8(p + n - 8);
        } else if (n >= 4) {
            w[0] = load4(p) | load4(p + n - 4) << 32;
            w[1] = 0;
        } else {
            w[0] = 0;
            for (size_t i = 0; i < n; ++i) w[0] |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
            w[1] = 0;
        }
    }

    // Open addressing with linear probing, kept at most half full: every text is read once.
    uint32_t Find(std::string_view text) {
        if (text.size() > kMaxText) return Add(text);
        uint64_t w[2];
        WordsOf(text, w);
        size_t mask = slots_.size() - 1;
        for (size_t i = Hash(w, text.size()) & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.entry == kNone) {
                slot.words[0] = w[0];
                slot.words[1] = w[1];
                slot.length = static_cast<uint8_t>(text.size());
                slot.entry = Add(text);
                if (++used_ * 2 > slots_.size()) Grow();
                return static_cast<uint32_t>(entries_.size() - 1);
            }
            if (slot.length == text.size() && slot.words[0] == w[0] && slot.words[1] == w[1]) return slot.entry;
        }
    }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.entry == kNone) continue;
            size_t i = Hash(s.words, s.length) & mask;
            while (slots_[i].entry != kNone) i = (i + 1) & mask;
            slots_[i] = s;
        }
    }

    size_t used_ = 0;
    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
    std::vector<uint8_t> readable_; // each entry's, apart: every line reads it, few read the rest
};

// A name written into a line must not break it into other fields or lines.
void AppendNameField(std::string& out, std::string_view name) {
    for (char c : name) out.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}

// The "%x" texts of one save: schedules repeat their days, and the locale cannot change meanwhile.
class DateTexts {
public:
    void Append(std::string& out, const DateTime& date) {
        // "Invalid datetime" would make the whole file unreadable; an empty field reads back as no date.
        if (date.status != DateTimeStatus::Valid) return;
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

    // One read of the file: each line is split once, in place (no copy of the line), into what
    // its task needs: the id, the type, the name (a view into the text the reader holds) and what
    // its dates read in every order still possible. The tasks themselves are built once, when
    // the date order is known. (Reading once also means a file rewritten meanwhile cannot mix
    // two versions.)
    uint8_t orders = 0; // bit per order still possible
    for (DateOrder o : AllDateOrders()) orders = static_cast<uint8_t>(orders | 1u << o);
    DateTexts3 dateTexts;
    struct Line {
        std::string_view name;
        int32_t id = 0;
        ConstructionType type = ConstructionType::Construction;
        uint32_t start = DateTexts3::kNone, finish = DateTexts3::kNone;
    };
    std::vector<Line> lines;
    uint64_t size = 0;
    if (file.GetSize(size) == kFKNoErr)
        lines.reserve(static_cast<size_t>(std::min<uint64_t>(size / kTypicalLineBytes, kMaxReserve)));
    std::vector<std::string_view> fields;
    std::string_view text;
    while (reader.NextLine(text, columns->count, fields)) {
        if (TrimBlanks(text).empty()) continue;
        std::string_view startField = fields[columns->start], nameField = fields[columns->name];
        uint32_t start = dateTexts.Read(startField, orders);
        uint32_t finish = dateTexts.Read(fields[columns->finish], orders);
        std::optional<ConstructionType> type = TypeOfLetter(nameField);
        std::string_view name = type ? nameField.substr(2) : nameField;
        if (name.empty() && startField.empty()) continue;
        if (columns->type >= 0) {
            if (auto named = ConstructionTypeOfText(fields[static_cast<size_t>(columns->type)])) type = named;
        }
        Line& l = lines.emplace_back();
        l.name = name;
        l.id = ReadId(fields[columns->id]);
        l.type = type.value_or(ConstructionType::Construction);
        l.start = start;
        l.finish = finish;
    }
    // A file that cannot be read to its end is not a shorter schedule.
    if (reader.Error() != 0) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    DateOrderSet candidates;
    for (DateOrder o : AllDateOrders())
        if (orders & 1u << o) candidates.insert(o);
    if (candidates.empty()) {
        AddonAlert(kAlertUnknownDateOrder, path.c_str());
        return false;
    }
    if (candidates.size() > 1 && !AskDateOrder(candidates)) return false;
    const DateOrder order = *candidates.begin();

    const Task defaultTask;
    std::vector<Task> loaded;
    loaded.reserve(lines.size());
    for (const Line& l : lines) {
        Task& task = loaded.emplace_back(defaultTask);
        task.id = l.id;
        task.type = l.type;
        task.SetName(l.name);
        if (l.start != DateTexts3::kNone) {
            task.start = dateTexts.At(l.start).byOrder[static_cast<size_t>(order)];
            task.finish = task.start;
        }
        if (l.finish != DateTexts3::kNone)
            task.finish = dateTexts.At(l.finish).endOfDay[static_cast<size_t>(order)];
    }
    (void)file.Close(); // everything was read; a close failure cannot change it
    ReplaceTasks(std::move(loaded));
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
    return SaveScheduleFile(path, [this](FKReplacementFile& file, int32_t& error) { return WriteScheduleText(file, error); });
}

bool TaskDB::WriteScheduleText(FKReplacementFile& file, int32_t& error) const {
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
        text += letter ? letter : ConstructionTypeLetter(ConstructionType::Construction);
        text += '_';
        AppendNameField(text, BKTextOf(task.name));
        text += '\t';
        dates.Append(text, task.start);
        text += '\t';
        dates.Append(text, task.finish.DayBefore());
        text += "\r\n";
        if (text.size() >= kWriteBlock) {
            if ((error = file.Write(text.data(), text.size())) != kFKNoErr) return false;
            text.clear();
        }
    }
    return text.empty() || (error = file.Write(text.data(), text.size())) == kFKNoErr;
}
