#pragma once
// The add-on's own resources: every lookup switches the resource context to the add-on's module
// and puts the caller's back afterwards, whatever happens in between.
#include "basekit/BKResources.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The add-on's resource module, registered on first use.
BKResModule AddonResModule();
// Removes the add-on from the resource lookup (module unload).
void AddonReleaseResModule();

// Item `index` (from 1) of string list `listId`; empty when absent.
std::string AddonString(int16_t listId, int16_t index);
// Item `index` of list `listId` with each "%s" replaced by the next parameter, in order.
std::string AddonFormat(int16_t listId, int16_t index, std::initializer_list<std::string_view> params);
// Shows an alert of the add-on with up to three parameters; returns the button pressed (0: none).
int AddonAlert(int16_t alertId, const char* param1 = nullptr, const char* param2 = nullptr,
               const char* param3 = nullptr);
