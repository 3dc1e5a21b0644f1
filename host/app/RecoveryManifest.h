#pragma once
// The last file of a recovery copy: it names the copy's files with their sizes and digests and
// the project file the copy stands for. Written after the files, it is what makes a copy whole:
// a folder without it, or with a file that differs from what it says, was cut short.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RecoveryFile {
    enum class Role { Project, Addon };
    Role role = Role::Project;
    std::string name; // a plain file name inside the copy's folder
    uint64_t size = 0;
    uint64_t digest = 0; // RecoveryDigest of its bytes
    bool operator==(const RecoveryFile&) const = default;
};

struct RecoveryManifest {
    static constexpr int kVersion = 1;
    static constexpr const char* kFileName = "manifest.json";
    // Larger manifests are refused unread.
    static constexpr size_t kMaxBytes = 64 * 1024;

    std::string project; // the project file the copy stands for (UTF-8); empty for an untitled one
    std::vector<RecoveryFile> files;
    bool operator==(const RecoveryManifest&) const = default;

    const RecoveryFile* FileOf(RecoveryFile::Role role) const;
};

// FNV-1a, 64 bits; a file read in pieces carries the digest of the pieces before on.
inline constexpr uint64_t kRecoveryDigestStart = 1469598103934665603ULL;
uint64_t RecoveryDigest(std::string_view bytes, uint64_t before = kRecoveryDigestStart);

std::string WriteRecoveryManifest(const RecoveryManifest& manifest);
// Nothing, with `error` saying why, for text that is not a manifest this host writes: another
// version, a missing or mistyped field, a file name that leaves the folder, a role twice.
std::optional<RecoveryManifest> ReadRecoveryManifest(std::string_view text, std::string& error);
