#pragma once
// Which schedule file belongs to a host project, as the add-on keeps it in the project's own
// block: the file's kind, its path relative to the project's folder when it lies in that folder
// or below it, and its absolute path. Paths are the file system's (UTF-8). A project folder moved
// or sent as a whole finds its schedule by the relative path; a project saved in another folder
// still finds it by the absolute one.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct RememberedSchedule {
    // The version the host's record carries for this block, and the platform sign beside it.
    static constexpr int16_t kVersion = 1;
    static constexpr uint16_t kPlatformSign = 0x5757;
    // Longer paths are not kept: the add-on's own paths hold at most 260 bytes.
    static constexpr size_t kMaxPath = 1024;

    int16_t kind = 0; // the open dialog's file kinds: 0 project file, 1 schedule text, 2 Microsoft Project XML
    std::string relative; // empty when the project had no file or the schedule lies outside its folder
    std::string absolute;

    // `schedule` and `project` may be relative to the working folder; `project` is empty for an
    // untitled project. Nothing when the schedule's path is empty or too long to keep.
    static std::optional<RememberedSchedule> Of(const std::string& schedule, int16_t kind, const std::string& project);

    // Little-endian: kind (16 bits), the relative path's length (16 bits) and bytes, the absolute
    // path's length (16 bits) and bytes. Nothing for a block of another layout.
    std::vector<uint8_t> Bytes() const;
    static std::optional<RememberedSchedule> FromBytes(std::span<const uint8_t> bytes);

    // Where to look, best first, for the project now at `project` (empty: untitled): the relative
    // path from the project's folder, the absolute path, and, when the block has no relative path
    // (it was written while the project had no file), the file's name in the project's folder.
    std::vector<std::string> Candidates(const std::string& project) const;
    // The first candidate that is a plain file.
    std::optional<std::string> Find(const std::string& project) const;

    bool operator==(const RememberedSchedule&) const = default;
};
