#pragma once
// The add-on's own resources: every lookup switches the resource context to the add-on's module
// and puts the caller's back afterwards, whatever happens in between.
#include "basekit/BKResources.h"

#include <cstdint>
#include <string>

// The add-on's resource module, registered on first use.
BKResModule AddonResModule();
// Removes the add-on from the resource lookup (module unload).
void AddonReleaseResModule();

// Item `index` (from 1) of string list `listId`; empty when absent.
std::string AddonString(int16_t listId, int16_t index);
// Shows an alert of the add-on with up to three parameters; returns the button pressed (0: none).
int AddonAlert(int16_t alertId, const char* param1 = nullptr, const char* param2 = nullptr,
               const char* param3 = nullptr);
