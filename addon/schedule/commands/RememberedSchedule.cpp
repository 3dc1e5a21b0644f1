#include "schedule/commands/RememberedSchedule.h"

#include "bytes/LittleEndian.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int16_t kLastKind = 4; // the open dialog's kinds: .csp, text, MS Project XML, P6 XER, P6 XML

fs::path Absolute(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(path), ec);
    return ec ? fs::path() : p.lexically_normal();
}

// The project's folder, or nothing for an untitled project.
std::optional<fs::path> FolderOf(const std::string& project) {
    if (project.empty()) return std::nullopt;
    fs::path p = Absolute(project);
    if (p.empty() || !p.has_parent_path()) return std::nullopt;
    return p.parent_path();
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    LE::Append<uint16_t>(out, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

bool GetText(std::span<const uint8_t> in, size_t& at, std::string& text) {
    if (in.size() - at < 2) return false;
    size_t n = LE::Get<uint16_t>(in, at);
    at += 2;
    if (n > RememberedSchedule::kMaxPath || in.size() - at < n) return false;
    text.assign(in.begin() + static_cast<std::ptrdiff_t>(at), in.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    return text.find('\0') == std::string::npos;
}

} // namespace

std::optional<RememberedSchedule> RememberedSchedule::Of(const std::string& schedule, int16_t kind,
                                                         const std::string& project) {
    if (schedule.empty() || kind < 0 || kind > kLastKind) return std::nullopt;
    fs::path file = Absolute(schedule);
    if (file.empty() || file.string().size() > kMaxPath) return std::nullopt;
    RememberedSchedule r;
    r.kind = kind;
    r.absolute = file.string();
    if (auto folder = FolderOf(project)) {
        fs::path rel = file.lexically_relative(*folder);
        // A path that climbs out of the folder would not move with it.
        if (!rel.empty() && *rel.begin() != ".." && rel.string().size() <= kMaxPath) r.relative = rel.string();
    }
    return r;
}

std::vector<uint8_t> RememberedSchedule::Bytes() const {
    std::vector<uint8_t> out;
    LE::Append<int16_t>(out, kind);
    PutText(out, relative);
    PutText(out, absolute);
    return out;
}

std::optional<RememberedSchedule> RememberedSchedule::FromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2) return std::nullopt;
    RememberedSchedule r;
    r.kind = LE::Get<int16_t>(bytes, 0);
    size_t at = 2;
    if (r.kind < 0 || r.kind > kLastKind || !GetText(bytes, at, r.relative) || !GetText(bytes, at, r.absolute))
        return std::nullopt;
    if (at != bytes.size() || r.absolute.empty()) return std::nullopt;
    return r;
}

std::vector<std::string> RememberedSchedule::Candidates(const std::string& project) const {
    std::vector<std::string> out;
    auto add = [&out](const fs::path& p) {
        std::string s = p.lexically_normal().string();
        if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
    };
    auto folder = FolderOf(project);
    if (folder && !relative.empty()) add(*folder / relative);
    add(fs::path(absolute));
    if (folder && relative.empty()) add(*folder / fs::path(absolute).filename());
    return out;
}

std::optional<std::string> RememberedSchedule::Find(const std::string& project) const {
    for (const std::string& candidate : Candidates(project)) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return std::nullopt;
}
