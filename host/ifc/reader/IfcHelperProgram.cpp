#include "host/ifc/reader/IfcHelperProgram.h"

#include <cstdlib>
#include <filesystem>

std::string IfcHelperProgram() {
    if (const char* named = std::getenv("BV_IFC_HELPER"); named && *named) return named;
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "quorvel-ifc";
    return (program.parent_path() / "quorvel-ifc").string();
}
