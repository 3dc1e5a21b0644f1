#include "host/prefs/PreferenceStore.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "host/storage/HexText.h"
#include "host/storage/JsonNesting.h"
#include "host/storage/TextFileSave.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>

using nlohmann::json;

namespace {

// Far above any real store (a few records of some hundred bytes), far below what would hurt.
constexpr size_t kMaxStoreBytes = 16u << 20;
// A store nests three levels; deeper text is no store, and writing it back would recurse per level.
constexpr size_t kMaxNesting = 32;

// A whole number in [lo, hi]; floats, texts and out-of-range values are refused, never converted.
bool WholeNumberIn(const json& record, const char* key, int64_t lo, int64_t hi, int64_t& out) {
    auto it = record.find(key);
    if (it == record.end() || !it->is_number_integer()) return false;
    if (it->is_number_unsigned()) {
        uint64_t u = it->get<uint64_t>();
        if (u > static_cast<uint64_t>(hi)) return false;
        out = static_cast<int64_t>(u);
    } else {
        out = it->get<int64_t>();
    }
    return out >= lo && out <= hi;
}

// The record of one add-on, or why it is not one.
std::optional<std::string> ReadRecord(const json& value, PreferenceStore::Entry& e) {
    if (!value.is_object()) return "not an object";
    int64_t version = 0, size = 0;
    if (!WholeNumberIn(value, "version", INT32_MIN, INT32_MAX, version)) return "version is not a 32-bit whole number";
    if (!WholeNumberIn(value, "size", 0, UINT32_MAX, size)) return "size is not a 32-bit size";
    auto hex = value.find("hex");
    if (hex == value.end() || !hex->is_string()) return "hex is not a text";
    if (DecodeHex(hex->get_ref<const std::string&>(), e.bytes) != HexFault::None) return "hex is not hexadecimal bytes";
    if (e.bytes.size() != static_cast<uint64_t>(size)) return "size does not match its bytes";
    e.version = static_cast<int32_t>(version);
    return std::nullopt;
}

} // namespace

PreferenceStore::PreferenceStore(std::string path) : path_(std::move(path)) {}

bool PreferenceStore::Load(std::string& error) {
    entries_.clear();
    damaged_.clear();
    if (path_.empty()) return true;
    FKLocation location = FKLocation::FromNativePath(path_);
    std::string text;
    int32_t err = FKReadWholeFile(location, kMaxStoreBytes, text);
    if (err == kFKNotFoundErr) return true;
    if (err != kFKNoErr) {
        error = path_ + ": cannot be read: " + FKErrorText(err);
        if (err == kFKTooLargeErr) SetAside(error);
        return false;
    }
    json doc;
    bool parsed = !FindTooDeepNesting(text, kMaxNesting);
    if (parsed) {
        doc = json::parse(text, nullptr, false);
        parsed = !doc.is_discarded() && doc.is_object() && doc.contains("addons") && doc.at("addons").is_object();
    }
    if (!parsed) {
        error = path_ + ": not a preference store";
        SetAside(error);
        return false;
    }
    std::string problems;
    for (auto& [name, value] : doc.at("addons").items()) {
        Entry e;
        if (auto why = ReadRecord(value, e)) {
            // Kept as it was, so the add-on that owns it may still be given a chance to mend it.
            damaged_[name] = value.dump();
            problems += (problems.empty() ? path_ + ": " : "; ") + "record of " + name + " skipped: " + *why;
            continue;
        }
        entries_[name] = std::move(e);
    }
    if (problems.empty()) return true;
    error = problems;
    return false;
}

void PreferenceStore::SetAside(std::string& error) {
    // Writing the defaults over an unreadable store would lose every add-on's settings for good.
    std::string aside = path_ + ".bad";
    if (std::rename(path_.c_str(), aside.c_str()) == 0) error += "; kept aside as " + aside;
}

bool PreferenceStore::Save(std::string& error) const {
    if (path_.empty()) return true;
    json addons = json::object();
    for (const auto& [name, text] : damaged_) addons[name] = json::parse(text, nullptr, false);
    for (const auto& [name, e] : entries_)
        addons[name] = {{"version", e.version}, {"size", e.bytes.size()}, {"hex", EncodeHex(e.bytes)}};
    json doc = json::object();
    doc["addons"] = std::move(addons);
    std::string text = doc.dump(1) + "\n";
    std::filesystem::path target(path_);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    return SaveTextFile(path_, text, error);
}

std::optional<PreferenceStore::Entry> PreferenceStore::Read(const std::string& addon) const {
    auto it = entries_.find(addon);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

bool PreferenceStore::Write(const std::string& addon, int32_t version, std::vector<uint8_t> bytes, std::string& error) {
    auto previous = entries_;
    auto previousDamaged = damaged_;
    entries_[addon] = Entry{version, std::move(bytes)};
    damaged_.erase(addon);
    if (!Save(error)) {
        entries_ = std::move(previous);
        damaged_ = std::move(previousDamaged);
        return false;
    }
    return true;
}

bool PreferenceStore::Reset(std::string& error) {
    auto previous = entries_;
    auto previousDamaged = damaged_;
    entries_.clear();
    damaged_.clear();
    if (!Save(error)) {
        entries_ = std::move(previous);
        damaged_ = std::move(previousDamaged);
        return false;
    }
    return true;
}
