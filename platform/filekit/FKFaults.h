#pragma once
// The fault seam: tests make a chosen file operation fail with a chosen code, as a full disk or a
// broken medium would, without needing such a disk.
#include <cstdint>

enum class FKOperation { Open, Read, Write, Close, Rename };

// The call of `op` that comes after `skip` further calls of it fails with `error`.
// Several faults may wait at once, also for the same operation.
void FKInjectFault(FKOperation op, int32_t error, int skip = 0);
void FKClearFaults();
// Faults injected but not yet triggered.
int FKPendingFaults();

// For FileKit's own operations: the injected error for this call of `op`, or kFKNoErr.
int32_t FKTakeFault(FKOperation op);
