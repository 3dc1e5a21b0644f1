#pragma once
// A large IFC model made of a real one: its building placed again and again side by side in a
// square grid, every copy with records of its own and new GlobalIds, all under the one project
// of the original (the project and what it refers to, its units and contexts, are not copied).
// Copy k stands `spacingMetres` times its column east and its row north of the original, moved
// through the site's placement.
#include <string>
#include <string_view>

struct IfcCopiesLayout {
    int copies = 2;
    double spacingMetres = 60;
};

// Throws std::runtime_error for a text without a data section, a project or a placed site.
std::string GenerateIfcCopies(std::string_view original, const IfcCopiesLayout& layout);
