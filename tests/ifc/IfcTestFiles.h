#pragma once
// The IFC files of tests/data/ifc as text, and what the reader says of a text it refuses.
#include "host/HostTestFiles.h"

#include "host/ifc/reader/IfcReader.h"

#include <string>

namespace ifctest {

inline std::string IfcFile(const std::string& name) { return SourceFile("tests/data/ifc/" + name); }
inline std::string IfcText(const std::string& name) { return ReadWholeFile(IfcFile(name)); }

inline std::string ErrorOf(const std::string& text) {
    try {
        ReadIfcText(text);
    } catch (const EIfcFile& e) {
        return e.what();
    }
    return "no error";
}

} // namespace ifctest
