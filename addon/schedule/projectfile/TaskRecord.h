#pragma once
// A task's stored record in the project file, and the file's header, field by field and
// little-endian.
#include "schedule/tasks/ByteStream.h"
#include "schedule/tasks/Task.h"

#include <cstddef>
#include <cstdint>

constexpr uint32_t kProjectFileSignature = 0x46425642; // "BVBF"
// A schedule that holds nothing beyond tasks is written as version 4, as it always was; one
// with more (link rules, plans) as version 5: the same header and records, then sections.
constexpr int32_t kProjectFileVersion = 4;
constexpr int32_t kProjectFileSectionsVersion = 5;
constexpr size_t kProjectSectionCountOffset = 12; // version 5: the number of sections
constexpr size_t kProjectSectionHeadSize = 8;     // tag, then the body's length
// A section's body is read whole; no planner's rules come near this.
constexpr uint32_t kProjectSectionMaxSize = 64u << 20;
constexpr size_t kProjectHeaderSize = 64;
constexpr size_t kTaskRecordFixedSize = 40; // before the name bytes

// 0, or kScheduleFileWriteFailed.
int WriteTask(IOutStream& out, const Task& task);
// Reads a record of the given format version (1 to 5) into `task` and brings older forms to
// today's meaning. 0, kScheduleFileReadFailed (also for a name of 256 bytes or more), or
// kScheduleFileBadRecord (id below 1, type outside 0-5).
int ReadTask(IInStream& in, Task& task, int32_t version);
