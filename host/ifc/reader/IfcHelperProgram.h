#pragma once
// Where the helper program quorvel-ifc is: beside the running program, as the add-on module is;
// BV_IFC_HELPER names another (a test's).
#include <string>

std::string IfcHelperProgram();
