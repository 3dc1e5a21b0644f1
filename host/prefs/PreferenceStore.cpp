#include "host/prefs/PreferenceStore.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string ToHex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

bool FromHex(const std::string& s, std::vector<uint8_t>& out) {
    if (s.size() % 2) return false;
    out.clear();
    out.reserve(s.size() / 2);
    for (size_t i = 0; i < s.size(); i += 2) {
        auto nib = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
        int hi = nib(s[i]), lo = nib(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

} // namespace

PreferenceStore::PreferenceStore(std::string path) : path_(std::move(path)) {}

bool PreferenceStore::Load(std::string& error) {
    entries_.clear();
    if (path_.empty() || !std::filesystem::exists(path_)) return true;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        error = path_ + ": cannot be read";
        return false;
    }
    try {
        auto doc = nlohmann::json::parse(in);
        std::map<std::string, Entry> loaded;
        for (auto& [name, value] : doc.at("addons").items()) {
            Entry e;
            e.version = value.at("version").get<int32_t>();
            auto size = value.at("size").get<uint32_t>();
            if (!FromHex(value.at("hex").get<std::string>(), e.bytes) || e.bytes.size() != size) {
                error = path_ + ": record of " + name + " is damaged";
                return false;
            }
            loaded[name] = std::move(e);
        }
        entries_ = std::move(loaded);
    } catch (const std::exception& ex) {
        error = path_ + ": " + ex.what();
        return false;
    }
    return true;
}

bool PreferenceStore::Save(std::string& error) const {
    if (path_.empty()) return true;
    nlohmann::json doc;
    doc["addons"] = nlohmann::json::object();
    for (const auto& [name, e] : entries_)
        doc["addons"][name] = {{"version", e.version}, {"size", e.bytes.size()}, {"hex", ToHex(e.bytes)}};
    std::filesystem::path target(path_);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::string temp = path_ + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << doc.dump(1) << "\n";
        out.flush();
        if (!out) {
            error = path_ + ": cannot be written";
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path_.c_str()) != 0) {
        error = path_ + ": cannot be replaced";
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::optional<PreferenceStore::Entry> PreferenceStore::Read(const std::string& addon) const {
    auto it = entries_.find(addon);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

bool PreferenceStore::Write(const std::string& addon, int32_t version, std::vector<uint8_t> bytes, std::string& error) {
    auto previous = entries_;
    entries_[addon] = Entry{version, std::move(bytes)};
    if (!Save(error)) {
        entries_ = std::move(previous);
        return false;
    }
    return true;
}

bool PreferenceStore::Reset(std::string& error) {
    auto previous = entries_;
    entries_.clear();
    if (!Save(error)) {
        entries_ = std::move(previous);
        return false;
    }
    return true;
}
