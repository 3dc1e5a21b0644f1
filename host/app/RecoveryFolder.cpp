#include "host/app/RecoveryFolder.h"

#include "host/storage/TextFileSave.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct FileFacts {
    uint64_t size = 0, digest = kRecoveryDigestStart;
};

std::optional<FileFacts> ReadFacts(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    FileFacts facts;
    std::array<char, 1 << 16> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        auto got = static_cast<size_t>(in.gcount());
        facts.size += got;
        facts.digest = RecoveryDigest(std::string_view(buffer.data(), got), facts.digest);
    }
    if (in.bad()) return std::nullopt;
    return facts;
}

// Why the copy in `folder` is not whole; nothing when it is.
std::optional<std::string> CheckCopy(const fs::path& folder, std::optional<RecoveryManifest>& manifest) {
    fs::path path = folder / RecoveryManifest::kFileName;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return "it has no manifest";
    auto size = fs::file_size(path, ec);
    if (ec || size > RecoveryManifest::kMaxBytes) return "its manifest is unreadable";
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return "its manifest is unreadable";
    std::string error;
    manifest = ReadRecoveryManifest(text, error);
    if (!manifest) return error;
    for (const RecoveryFile& f : manifest->files) {
        auto facts = ReadFacts(folder / f.name);
        if (!facts) return f.name + " is missing";
        if (facts->size != f.size || facts->digest != f.digest) return f.name + " differs from its manifest";
    }
    return std::nullopt;
}

// An add-on writes its copy without waiting for the disk; it is synced here, before the manifest.
bool Synchronize(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

std::optional<uint64_t> GenerationOf(const std::string& name) {
    auto first = name.find('.'), last = name.rfind('.');
    if (first == std::string::npos || last <= first + 1) return std::nullopt;
    uint64_t g = 0;
    for (size_t i = first + 1; i < last; ++i) {
        if (name[i] < '0' || name[i] > '9' || g > UINT64_MAX / 10 - 1) return std::nullopt;
        g = g * 10 + static_cast<uint64_t>(name[i] - '0');
    }
    return g;
}

// A run's folder is named run-MS-PID; its writer is gone when no process has that number. A
// folder of another name, or of a live process, may still be written and is left alone.
bool WriterIsGone(const fs::path& folder) {
    std::string name = folder.filename().string();
    auto dash = name.rfind('-');
    if (!name.starts_with("run-") || dash == std::string::npos || dash + 1 >= name.size() || dash + 10 < name.size())
        return false;
    pid_t pid = 0;
    for (size_t i = dash + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

bool RecoveryCopyFound::NewerThanSaved() const {
    if (manifest.project.empty()) return true;
    std::error_code ec;
    auto saved = fs::last_write_time(manifest.project, ec);
    return ec || written > saved;
}

std::vector<RecoveryCopyFound> FindRecoveryCopies(const std::string& root, std::vector<std::string>& notes) {
    std::vector<RecoveryCopyFound> found;
    std::error_code ec;
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec)) folders.push_back(it->path());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) {
        if (fs::is_empty(folder, ec)) continue;
        std::optional<RecoveryManifest> manifest;
        if (auto why = CheckCopy(folder, manifest)) {
            notes.push_back("The recovery copy in " + folder.string() + " was cut short and is ignored: " + *why + ".");
            // Said once: a dead writer's remains would otherwise be reported at every start.
            if (WriterIsGone(folder)) fs::remove_all(folder, ec);
            continue;
        }
        auto written = fs::last_write_time(folder / RecoveryManifest::kFileName, ec);
        if (ec) continue;
        found.push_back({folder.string(), std::move(*manifest), written});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const RecoveryCopyFound& a, const RecoveryCopyFound& b) { return a.written > b.written; });
    return found;
}

std::string RecoveryFileName(RecoveryFile::Role role, uint64_t generation) {
    return (role == RecoveryFile::Role::Project ? "project." : "addon.") + std::to_string(generation) +
           (role == RecoveryFile::Role::Project ? ".qvp" : ".csp");
}

uint64_t HighestRecoveryGeneration(const std::string& folder) {
    uint64_t highest = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (auto g = GenerationOf(it->path().filename().string())) highest = std::max(highest, *g);
    return highest;
}

bool WriteRecoveryCopy(const std::string& folder, uint64_t generation, const std::string& projectText,
                       const std::string& addonName, const std::string& originalProject, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    RecoveryManifest manifest;
    manifest.project = originalProject;
    RecoveryFile project{RecoveryFile::Role::Project, RecoveryFileName(RecoveryFile::Role::Project, generation),
                         projectText.size(), RecoveryDigest(projectText)};
    if (!SaveTextFile((fs::path(folder) / project.name).string(), projectText, error)) return false;
    manifest.files.push_back(project);
    if (!addonName.empty()) {
        auto facts = ReadFacts(fs::path(folder) / addonName);
        if (!facts || !Synchronize(fs::path(folder) / addonName)) {
            error = (fs::path(folder) / addonName).string() + ": cannot be read back";
            return false;
        }
        manifest.files.push_back({RecoveryFile::Role::Addon, addonName, facts->size, facts->digest});
    }
    if (!SaveTextFile((fs::path(folder) / RecoveryManifest::kFileName).string(), WriteRecoveryManifest(manifest), error))
        return false;
    // The copy before is no longer needed; a file of this generation or later stays.
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        auto g = GenerationOf(it->path().filename().string());
        if (g && *g < generation) fs::remove(it->path(), ec);
    }
    return true;
}

void RemoveRecoveryCopy(const std::string& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
}
