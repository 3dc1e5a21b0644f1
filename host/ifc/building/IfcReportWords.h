#pragma once
// The words of the IFC opening and revision reports. Given here as a transcript writes them; a
// program speaking another language fills them from its texts. In a pattern, %1, %2... stand
// for what is filled in. UTF-8.
#include "host/ifc/building/IfcBuildingData.h"

#include <array>
#include <initializer_list>
#include <string>

struct IfcReportWords {
    std::string model = "IFC model %1: %2, %3 left out";
    std::string revision = "IFC revision %1: kept %2, added %3, removed %4, %5 left out";
    std::string element = "%1 element", elements = "%1 elements", product = "%1 product", products = "%1 products";
    std::string leftOut = "  left out %1, %2: %3", kept = "  kept %1, %2: %3", accepted = "  accepted %1, %2: %3";
    // Of the kept, those found by their fingerprint under a new GlobalId; products left new since
    // more than one element fit them.
    std::string rematched = "  found again under a new GlobalId: %1 (class, type, storey, name, box and shape)";
    std::string ambiguous = "  not matched, more than one element fits: %1";
    // In the order of IfcLeftOutCause.
    std::array<std::string, kIfcLeftOutCauses> causes = {
        "no body", "a geometry the IFC library cannot make", "attributes the IFC library cannot read",
        "no usable GlobalId", "a GlobalId an earlier product has", "an opening or virtual element"};
    // In the order of IfcNoteKind.
    std::array<std::string, kIfcNoteKinds> notes = {"a GlobalId out of range", "a record defined twice with the same text",
                                                "a shape not made on its fixed heap, not the same bytes on every open"};
};

// `pattern` with %1 to %9 replaced by `values` in order; a number past the values stays as it is.
std::string FillIfcPattern(const std::string& pattern, std::initializer_list<std::string> values);
