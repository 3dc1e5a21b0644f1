#pragma once
// The host's own resources (its texts), compiled from the sources beside this file.
#include "basekit/BKResources.h"

#include <cstdint>
#include <string>

BKResModule HostResModule();

// The host's own alerts and texts.
enum class HostAlert : int16_t { SaveChanges = 1001, UpdateRemoves = 1002 };
enum class HostText : int16_t { Untitled = 1, IfcUpdateStep, UpdateDropsAddonData, UpdateClearsHistory, ProjectFilter };
// A text of the host (8-bit code page).
std::string HostString(HostText text);
// Shows one of the host's alerts with its parameters (8-bit); the 1-based button pressed.
int ShowHostAlert(HostAlert alert, const std::string& p1 = {}, const std::string& p2 = {}, const std::string& p3 = {});
// The host's name of an element kind (8-bit code page); empty for a kind that does not exist.
std::string HostKindName(int32_t kind);
