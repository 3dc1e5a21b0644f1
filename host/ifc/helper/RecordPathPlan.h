#pragma once
// Before the library parses a file: which products' bodies are made from the records
// (RecordBodyMesh.h), and so which records the library need not make. A product takes that path
// when its body is made there without a word from the sweeper, its openings (if any) cut there
// too, and it is not an opening nor a part of an element that has them. The geometric items of those bodies
// that no other product's representation uses are made by the library as bare entities, their
// attributes unread, so that styles and layers still find them; what only they lead to is not
// made at all. The library's model is then of the facts and of the other products' shapes.
#include "host/ifc/helper/PlannedMeshes.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

enum class RecordUse : uint8_t {
    Read,  // made and read by the library
    Bare,  // made, its attributes unread
    Unmade // not made
};

struct RecordPathPlan {
    static constexpr uint32_t kNone = UINT32_MAX;
    double metres = 1.0;          // the length unit, as the library reads it
    std::vector<uint32_t> meshAt; // by place in the file: the number of the product's mesh in `meshes`, or kNone
    PlannedMeshes meshes;
    std::vector<RecordUse> use;   // by place in the file; empty when every record is read
    size_t reusedItems = 0;       // geometric items taken from one made before that says the same

    bool ByRecords(size_t position) const { return position < meshAt.size() && meshAt[position] != kNone; }
    size_t Unmade() const;
};

// The file's length unit in metres when it is a plain SI one (metres, or milli-, centi- or
// decimetres) and the only one; nothing otherwise.
std::optional<double> RecordLengthUnit(std::string_view text, const StepScan& scan, const RecordTypes& types);

// The file's plane angle unit in radians, as the library reads its project's units: a radian, or
// a unit converted from one by a plane angle or ratio measure, or one named DEGREE; the last of
// them when there are several. Nothing when it names none.
std::optional<double> RecordPlaneAngleUnit(std::string_view text, const StepScan& scan, const RecordTypes& types);

// The plan for the file, its bodies made on `threads` threads; one with no product by records
// when its unit is not plain. `reuseItems`: an item that says what one made before said takes
// its mesh (ReusedItems.h).
RecordPathPlan PlanRecordPath(std::string_view text, const StepScan& scan, const RecordTypes& types, unsigned threads,
                              bool reuseItems = true);

// Every record `from` leads to, marked in `marks` (one for each record); those already marked are
// not gone below.
void MarkRecordsBelow(const StepScan& scan, uint32_t from, std::vector<bool>& marks);
