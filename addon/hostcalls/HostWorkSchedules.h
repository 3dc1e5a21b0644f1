#pragma once
// The construction schedule the host's building model carries in its IFC file, as the host's
// operation hands it over: texts in the module's code page (GlobalIds are plain letters).
#include "hostapi/HostAPI.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct HostScheduleTask {
    std::string globalId, name, identification, predefinedType, objectType;
    bool milestone = false;
    int32_t schedule = -1;
    int32_t parent = -1; // an earlier task's index, -1 at the top
    uint16_t level = 1;
    // "YYYY-MM-DDThh:mm:ss" or empty.
    std::string scheduleStart, scheduleFinish, actualStart, actualFinish;
    int32_t percent = -1;
};

struct HostScheduleSequence {
    int32_t predecessor = 0, successor = 0;
    std::string type;
    int64_t lagSeconds = 0;
};

struct HostScheduleLink {
    int32_t task = 0;
    std::string globalId;
    bool input = false; // taken by the task rather than made
};

struct HostWorkSchedules {
    bool fromIfc = false; // the model came from an IFC file
    std::string path, schema;
    uint64_t fileSize = 0, recordsEnd = 0;
    int32_t highestRecord = 0, projectRecord = 0;
    std::vector<std::string> scheduleNames;
    std::vector<std::string> scheduleGlobalIds;
    std::vector<int32_t> scheduleRecords; // 0 where not asked for
    std::vector<HostScheduleTask> tasks;
    std::vector<HostScheduleSequence> sequences;
    std::vector<HostScheduleLink> links;
    std::unordered_map<std::string, int32_t> productRecords; // GlobalId -> record number
    // The file's own task records and what hangs on them, as byte ranges in file order.
    std::vector<std::pair<uint64_t, uint64_t>> taskRecords;
};

// The operation's `count` entries in `bytes`. False, with `out` partly filled, for entries the
// operation does not write: an unknown kind, a field missing, a number out of its range, an
// index naming no task, a parent that does not come before its task.
bool ParseHostWorkSchedules(std::string_view bytes, int32_t count, HostWorkSchedules& out);
// Asks the host (kHostScheduleRecords in `flags` for the products' record numbers too). A host
// error is returned as it is; entries it cannot parse give kHostErrBadParameter.
GSErr ReadHostWorkSchedules(int32_t flags, HostWorkSchedules& out);
