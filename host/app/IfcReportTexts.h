#pragma once
// The IFC reports' words in the language the host speaks, from its texts.
#include "host/ifc/IfcReportWords.h"

IfcReportWords HostIfcReportWords();
