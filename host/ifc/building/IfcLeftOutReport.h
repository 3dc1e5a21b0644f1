#pragma once
// What the report window says after an IFC file was opened or a revision of it brought in: the
// summary line, then one line a cause with how many products it left out and the first three
// of them by name (by GlobalId when nameless), then one line for each kind of thing the reader
// accepted against the letter of IFC, with its count and first three. UTF-8.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcReportWords.h"
#include "host/ifc/building/IfcRevisionUpdate.h"

#include <string>
#include <string_view>
#include <vector>

// "IFC model IFC2X3: 35 elements, 2 products left out", then the causes.
std::vector<std::string> IfcOpeningReport(std::string_view schema, size_t elements, const std::vector<IfcSkippedProduct>& leftOut,
                                          const std::vector<IfcNote>& notes = {}, const IfcReportWords& words = {});
// "IFC revision IFC2X3: kept 34, added 1, removed 1, 0 products left out", then the causes.
std::vector<std::string> IfcRevisionReport(std::string_view schema, const IfcRevisionCounts& counts,
                                           const IfcReportWords& words = {});
