#pragma once
// Every schedule file is saved one way: a name the system can hold, a replacement file that
// takes the place of the old one only when wholly written, and a failure the system caused named
// in the report window (SaveFailureReport.h) before the caller's alert.
#include "filekit/FKReplacementFile.h"

#include <cstdint>
#include <functional>
#include <string>

// Writes the file's bytes; on failure sets `error` to the FileKit code that stopped it.
using ScheduleFileWriter = std::function<bool(FKReplacementFile& file, int32_t& error)>;
// A save of the file at `path` (8-bit). `refuses`, asked once the name is known to be usable and
// before the file is opened, stops a save the add-on itself will not make (and reports why).
// `synchronize` false: see FKReplacementFile::SkipSynchronizing.
bool SaveScheduleFile(const std::string& path, const ScheduleFileWriter& write,
                      const std::function<bool()>& refuses = {}, bool synchronize = true);
