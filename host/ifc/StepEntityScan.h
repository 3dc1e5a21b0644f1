#pragma once
// One pass over a STEP file's data section ahead of the IFC library: the entity numbers in the
// order the file gives them, and a check that no entity's attributes lead back to itself. The
// library keeps entities by number and holds references as owning pointers, so it neither
// knows the file's order nor ever frees a loop of references.
#include <string_view>
#include <vector>

// Throws EIfcFile (without a file name) for a loop of references or a number defined twice.
std::vector<int> ScanStepEntities(std::string_view text);
