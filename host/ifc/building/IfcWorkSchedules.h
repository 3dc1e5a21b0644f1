#pragma once
// The 4D records of an IFC file read straight from its text, after the scan that placed every
// record: the IFC library is not asked, and a file without tasks costs one search. A record of
// another form than IFC gives, or one that refers to what it should not, is passed over: the
// schedule is the add-on's to judge, never a reason to refuse the building.
#include "host/ifc/step/StepEntityScan.h"
#include "host/model/ModelWorkSchedules.h"

#include <string_view>

// `schema`: "IFC2X3" or "IFC4", which place their task times differently. Leaves sourcePath empty.
ModelWorkSchedules ReadIfcWorkSchedules(std::string_view text, const StepScan& scan, std::string_view schema);
