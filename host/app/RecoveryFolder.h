#pragma once
// The recovery folder on disk: each run of the program keeps its copy in a folder of its own
// inside it, so a copy kept for later is never written over by the next run. A copy is written
// file by file under names of its own generation, the manifest last; the files of the copy
// before are removed only once the new manifest is in place, so a crash at any moment leaves the
// last whole copy (or none) behind.
#include "host/app/RecoveryManifest.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct RecoveryCopyFound {
    std::string folder;
    RecoveryManifest manifest;
    std::filesystem::file_time_type written; // the manifest's time
    // Later than the project file it stands for (a copy of an untitled or vanished one always is).
    bool NewerThanSaved() const;
};

// Whole copies in the folders of `root`, newest first. A folder with files but no usable
// manifest, or whose files differ from it, was cut short: it is named in `notes` and left out.
std::vector<RecoveryCopyFound> FindRecoveryCopies(const std::string& root, std::vector<std::string>& notes);

// Where one generation of a copy goes.
std::string RecoveryFileName(RecoveryFile::Role role, uint64_t generation);
// The highest generation a folder's files carry (0 for none).
uint64_t HighestRecoveryGeneration(const std::string& folder);

// Writes the project's text as generation `generation` in `folder`, reads back and syncs the
// add-on's copy (already written there, when `addonName` is not empty) for its digest, then the manifest, and
// last removes the files of earlier generations. False with `error` when a write failed; the
// copy before stays whole then.
bool WriteRecoveryCopy(const std::string& folder, uint64_t generation, const std::string& projectText,
                       const std::string& addonName, const std::string& originalProject, std::string& error);

void RemoveRecoveryCopy(const std::string& folder);
