#include "host/app/RecoveryManifest.h"

#include <nlohmann/json.hpp>

#include <cstdio>

using json = nlohmann::json;

namespace {

constexpr size_t kMaxName = 255, kMaxPath = 4096;

const char* RoleName(RecoveryFile::Role role) { return role == RecoveryFile::Role::Project ? "project" : "addon"; }

std::string DigestText(uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

std::optional<uint64_t> DigestOf(const std::string& text) {
    if (text.size() != 16) return std::nullopt;
    uint64_t v = 0;
    for (char c : text) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<uint64_t>(d);
    }
    return v;
}

// A name that stays inside the copy's folder.
bool PlainName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxName && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

} // namespace

const RecoveryFile* RecoveryManifest::FileOf(RecoveryFile::Role role) const {
    for (const RecoveryFile& f : files)
        if (f.role == role) return &f;
    return nullptr;
}

uint64_t RecoveryDigest(std::string_view bytes, uint64_t before) {
    uint64_t h = before;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

std::string WriteRecoveryManifest(const RecoveryManifest& manifest) {
    json files = json::array();
    for (const RecoveryFile& f : manifest.files)
        files.push_back({{"role", RoleName(f.role)}, {"name", f.name}, {"size", f.size}, {"digest", DigestText(f.digest)}});
    json doc = {{"recovery", RecoveryManifest::kVersion}, {"project", manifest.project}, {"files", files}};
    // A path that is no UTF-8 is written with replacement characters rather than not at all.
    return doc.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<RecoveryManifest> ReadRecoveryManifest(std::string_view text, std::string& error) {
    if (text.size() > RecoveryManifest::kMaxBytes) {
        error = "the manifest is too large";
        return std::nullopt;
    }
    json doc = json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        error = "the manifest is not JSON";
        return std::nullopt;
    }
    auto bad = [&error](const std::string& why) -> std::optional<RecoveryManifest> {
        error = why;
        return std::nullopt;
    };
    const json* version = doc.contains("recovery") ? &doc.at("recovery") : nullptr;
    if (!version || !version->is_number_integer() || version->get<int64_t>() != RecoveryManifest::kVersion)
        return bad("the manifest is of another version");
    RecoveryManifest m;
    if (!doc.contains("project") || !doc.at("project").is_string()) return bad("the manifest names no project");
    m.project = doc.at("project").get<std::string>();
    if (m.project.size() > kMaxPath || m.project.find('\0') != std::string::npos) return bad("the project's path is unusable");
    if (!doc.contains("files") || !doc.at("files").is_array()) return bad("the manifest lists no files");
    for (const json& f : doc.at("files")) {
        if (!f.is_object()) return bad("a file is not an object");
        auto text = [&f](const char* key) -> std::optional<std::string> {
            if (!f.contains(key) || !f.at(key).is_string()) return std::nullopt;
            return f.at(key).get<std::string>();
        };
        auto role = text("role"), name = text("name"), digest = text("digest");
        if (!role || (*role != "project" && *role != "addon")) return bad("a file has no known role");
        if (!name || !PlainName(*name)) return bad("a file's name leaves the folder");
        auto value = digest ? DigestOf(*digest) : std::nullopt;
        if (!value) return bad("a file's digest is unusable");
        if (!f.contains("size") || !f.at("size").is_number_unsigned()) return bad("a file's size is unusable");
        RecoveryFile file;
        file.role = *role == "project" ? RecoveryFile::Role::Project : RecoveryFile::Role::Addon;
        if (m.FileOf(file.role)) return bad("a role is named twice");
        file.name = *name;
        file.size = f.at("size").get<uint64_t>();
        file.digest = *value;
        m.files.push_back(std::move(file));
    }
    if (!m.FileOf(RecoveryFile::Role::Project)) return bad("the manifest names no project copy");
    return m;
}
