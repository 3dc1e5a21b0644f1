#pragma once
// The IFC reports' words in the language the host speaks, from its texts.
#include "host/ifc/building/IfcReportWords.h"

IfcReportWords HostIfcReportWords();
