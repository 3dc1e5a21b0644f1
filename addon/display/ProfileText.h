#pragma once
// The profiles as lines of text: what `print profiles` prints and the menu writes to the report
// window. Names in the module's code page.
#include "display/ProfileSet.h"

#include <string>

// profile "NAME" before LOOK during LOOK after LOOK [grow D] [stagger] early LOOK late LOOK
std::string ProfileLine(const AppearanceProfile& profile);
// types "NAME" "NAME" "NAME" "NAME" "NAME", in type order
std::string TypesLine(const ProfileSet& set);
