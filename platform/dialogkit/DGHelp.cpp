#include "dialogkit/DGHelp.h"

namespace {
std::map<std::pair<uint32_t, uint32_t>, std::string>& Locations() {
    static std::map<std::pair<uint32_t, uint32_t>, std::string> locations;
    return locations;
}
} // namespace

void DGAddHelpLocation(uint32_t developerId, uint32_t localId, const std::string& utf8Folder) {
    Locations()[{developerId, localId}] = utf8Folder;
}
void DGRemoveHelpLocation(uint32_t developerId, uint32_t localId) { Locations().erase({developerId, localId}); }
const std::map<std::pair<uint32_t, uint32_t>, std::string>& DGHelpLocations() { return Locations(); }
