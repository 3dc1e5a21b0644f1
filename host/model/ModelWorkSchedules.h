#pragma once
// The construction schedule a building model's IFC file carries (its 4D records), as add-ons
// read it: work schedules, tasks in their outline, their times, the logic between them and the
// elements they make or take away, each element by its GlobalId. Kept with the model it came
// with, and where the file ends its records, so a copy can take more.
#include <cstdint>
#include <string>
#include <vector>

struct ModelScheduleTask {
    std::string globalId;
    std::string name;           // UTF-8
    std::string identification; // UTF-8; IFC2X3's TaskId
    std::string predefinedType; // upper case, "CONSTRUCTION"; empty in IFC2X3
    std::string objectType;     // UTF-8
    bool milestone = false;
    int32_t schedule = -1;      // index into ModelWorkSchedules::schedules, -1 in none
    int32_t parent = -1;        // index of the task nesting it, -1 at the top
    uint16_t level = 1;         // 1 at the top
    // "YYYY-MM-DDThh:mm:ss", empty when the file gives none.
    std::string scheduleStart, scheduleFinish, actualStart, actualFinish;
    int32_t percent = -1;       // 0-100 from the task time's completion, -1 none
    std::vector<std::string> outputs; // GlobalIds of what it makes (IfcRelAssignsToProduct)
    std::vector<std::string> inputs;  // GlobalIds of what it takes (IfcRelAssignsToProcess)
};

struct ModelScheduleSequence {
    int32_t predecessor = 0, successor = 0; // task indexes
    std::string type;                       // "FINISH_START", "START_START", ...
    double lagSeconds = 0;
};

struct ModelWorkSchedule {
    std::string globalId;
    std::string name; // UTF-8
    int32_t record = 0; // its number in the file
};

struct ModelWorkSchedules {
    std::string sourcePath; // the IFC file, UTF-8; empty for a model from elsewhere
    std::string schema;     // "IFC2X3" or "IFC4"
    uint64_t fileSize = 0;
    uint64_t recordsEnd = 0; // past the last record of the data section
    int32_t highestRecord = 0;
    int32_t projectRecord = 0; // the IfcProject's number, 0 none
    std::vector<ModelWorkSchedule> schedules;
    std::vector<ModelScheduleTask> tasks; // in outline order: each after the task nesting it
    std::vector<ModelScheduleSequence> sequences;
    // Every product's GlobalId and record number, so records added to a copy can name them.
    std::vector<std::pair<std::string, int32_t>> productRecords;
    // Where the file's own tasks and what hangs on them lie (byte offsets, begin and end, in
    // file order), so a copy that takes a schedule can leave them out instead of holding each
    // task twice. Empty when a record that stays would refer to one of them.
    std::vector<std::pair<uint64_t, uint64_t>> taskRecords;
};
