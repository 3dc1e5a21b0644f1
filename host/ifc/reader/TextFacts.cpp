#include "host/ifc/reader/TextFacts.h"

#include "host/ifc/building/IfcWorkSchedules.h"
#include "host/ifc/step/StepEntityScan.h"

TextFacts ReadTextFacts(std::string_view text, const std::string& schema) {
    const StepScan scan = ScanStepEntities(text);
    TextFacts facts;
    for (uint32_t position = 0; position < scan.ids.size(); ++position) facts.mayBeProducts += scan.MayBeProduct(position);
    facts.repeated = scan.repeated;
    facts.workSchedules = ReadIfcWorkSchedules(text, scan, schema);
    return facts;
}
