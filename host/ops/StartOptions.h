#pragma once
// What both host programs (the headless one and the desktop window) read from their command line.
#include <cstdint>
#include <string>

// "--now": exactly YYYY-MM-DD or YYYY-MM-DDTHH:MM, a real date; false for anything else.
bool ParseNowOption(const std::string& text, int32_t& value);

// The preference store when no "--prefs" is given.
std::string DefaultPreferencesPath();
