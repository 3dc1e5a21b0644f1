#pragma once
// What both host programs (the headless one and the desktop window) start with, from their
// command line (ProgramCommandLine.h).
#include <cstdint>
#include <string>

struct StartOptions {
    std::string model, addon, prefs;
    std::string now;  // YYYY-MM-DD[THH:MM], empty for the wall clock
    std::string lang; // the host's language, "hu" or "en"; empty for the program's own choice
    std::string recovery; // the recovery folder; empty for none
};

inline constexpr const char* kQuorvelVersion = "1.0";
// "--now": exactly YYYY-MM-DD or YYYY-MM-DDTHH:MM, a real date; false for anything else.
bool ParseNowOption(const std::string& text, int32_t& value);
extern const char* const kNowOptionNeeds;

// The preference store when no "--prefs" is given.
std::string DefaultPreferencesPath();
// The desktop's recovery folder when no "--recovery" is given.
std::string DefaultRecoveryFolder();
