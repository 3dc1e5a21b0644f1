#pragma once
// Writes a file's new content beside it and puts it in place only when all of it was written:
// a failed write, close or rename leaves the previous file exactly as it was. A target that is a
// device or a pipe rather than a plain file is written directly, as there is nothing to keep.
#include "filekit/FKFile.h"
#include "filekit/FKLocation.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class FKReplacementFile {
public:
    explicit FKReplacementFile(FKLocation target);
    ~FKReplacementFile(); // without a successful Commit the temporary file is removed
    FKReplacementFile(const FKReplacementFile&) = delete;
    FKReplacementFile& operator=(const FKReplacementFile&) = delete;

    int32_t Open();
    int32_t Write(const void* data, size_t size);
    // For formats that go back to fill in sizes and indexes once the data is written.
    int32_t SetPosition(uint64_t position);
    // Synchronises, closes and renames the new content over the target.
    int32_t Commit();
    // For a copy whose reader tells it whole by other means, synchronised later by someone who
    // may wait (a recovery copy, which a manifest written after its sync vouches for): Commit
    // closes and renames without waiting for the disk.
    void SkipSynchronizing() { synchronize_ = false; }

    // Where the new content is being written (the target itself when written directly); invalid
    // before Open.
    FKLocation WorkingLocation() const { return working_ ? working_->Location() : FKLocation(); }

private:
    void Abandon();

    FKLocation target_;
    std::optional<FKFile> working_;
    bool direct_ = false;
    bool pending_ = false; // a temporary file exists and is not yet renamed
    bool synchronize_ = true;
};
