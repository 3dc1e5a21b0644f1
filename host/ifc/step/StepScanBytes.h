#pragma once
// A scan (StepEntityScan.h) as bytes, so that the helper program takes the reader's scan of the
// text rather than making it again: each list as its count (8 bytes) and its elements as they
// lie in memory, in a fixed order. Read as outside bytes: every count is held to what is left,
// and every place and reference index to the lists it points into.
#include "host/ifc/step/StepEntityScan.h"

#include <string_view>

// Throws EIfcFile when the descriptor takes no more.
void WriteStepScan(const StepScan& scan, int fd);
// False for bytes that are not a whole, consistent scan of a text of `textBytes`.
bool ReadStepScan(std::string_view bytes, size_t textBytes, StepScan& scan);
