#pragma once
// Additional help locations, one per add-on identity (developer id, local id).
#include <cstdint>
#include <map>
#include <string>
#include <utility>

void DGAddHelpLocation(uint32_t developerId, uint32_t localId, const std::string& utf8Folder);
void DGRemoveHelpLocation(uint32_t developerId, uint32_t localId);
const std::map<std::pair<uint32_t, uint32_t>, std::string>& DGHelpLocations();
