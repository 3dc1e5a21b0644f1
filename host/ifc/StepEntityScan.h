#pragma once
// One pass over a STEP file's data section ahead of the IFC library: the entity numbers in the
// order the file gives them, and a check that no entity's attributes lead back to itself. The
// library keeps entities by number, so it does not know the file's order, and it follows
// references without asking whether it has been there before.
#include <string_view>
#include <vector>

// Throws EIfcFile (without a file name) for a loop of references or a number defined twice.
std::vector<int> ScanStepEntities(std::string_view text);
