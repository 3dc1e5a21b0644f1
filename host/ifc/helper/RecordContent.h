#pragma once
// What a record says, its own number aside: its text, with every record it refers to read in
// place of the reference, all the way down. Two geometric items that say the same are made
// into the same mesh, whatever their numbers; exporters write a repeated shape again and again
// rather than map it.
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string_view>

// A hash of what the record at `position` says; nothing when it refers to a record not in the
// file, or lies too deep to follow.
std::optional<uint64_t> RecordContentHash(std::string_view text, const StepScan& scan, uint32_t position);

// Whether the records at `a` and `b` say the same, byte for byte but for their numbers.
bool SameRecordContent(std::string_view text, const StepScan& scan, uint32_t a, uint32_t b);

// `word` added to a hash such as RecordContentHash gives.
uint64_t AddToContentHash(uint64_t hash, uint64_t word);
