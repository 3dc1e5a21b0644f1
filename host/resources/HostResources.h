#pragma once
// The host's own resources (its texts), compiled from the sources beside this file: one module
// a language, the same ids in each.
#include "basekit/BKResources.h"

#include <cstdint>
#include <optional>
#include <string>

// The language the host speaks. Until a program chooses one, its texts are a script transcript's:
// the names of element kinds and undo steps in Hungarian (the add-on's report lines and undo
// steps around them are Hungarian), messages and questions in English.
enum class HostLanguage { Transcript, Hungarian, English };
void SetHostLanguage(HostLanguage language);
HostLanguage CurrentHostLanguage();
// "hu" or "en"; none for any other code.
std::optional<HostLanguage> HostLanguageOfCode(const std::string& code);

// The module of the host's messages in the language spoken.
BKResModule HostResModule();

// The host's own alerts and texts.
enum class HostAlert : int16_t { SaveChanges = 1001, UpdateRemoves = 1002, Recover = 1003, ModelRemoves = 1004 };
enum class HostText : int16_t { Untitled = 1, UpdateDropsAddonData, UpdateClearsHistory, ProjectFilter };
enum class HostUndoStep : int16_t { IfcUpdate = 1, IfcModelAdd, IfcModelRemove };
// A text of the host (8-bit code page).
std::string HostString(HostText text);
std::string HostUndoStepName(HostUndoStep step);
// Item `index` (from 1) of the host's string list `list` in the language spoken; empty when
// there is none. The desktop's menus and messages are lists of their own.
std::string HostListString(int16_t list, int16_t index);
// Shows one of the host's alerts with its parameters (8-bit); the 1-based button pressed.
int ShowHostAlert(HostAlert alert, const std::string& p1 = {}, const std::string& p2 = {}, const std::string& p3 = {});
// The host's name of an element kind (8-bit code page); empty for a kind that does not exist.
std::string HostKindName(int32_t kind);
