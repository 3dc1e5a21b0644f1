#pragma once
// What both host programs (the headless one and the desktop window) read from their command line.
#include <cstdint>
#include <string>

struct StartOptions {
    std::string model, addon, prefs;
    std::string now;  // YYYY-MM-DD[THH:MM], empty for the wall clock
    std::string lang; // the host's language, "hu" or "en"; empty for the program's own choice
};

inline constexpr const char* kQuorvelVersion = "1.0";
// The shared options' lines of both programs' help.
extern const char* const kStartOptionsHelp;

enum class OptionRead {
    Taken,   // one of the shared options, with its value
    NotMine, // for the program itself to read
    Bad,     // a shared option without its value; `error` says what it needs
};

// Reads argv[i] (and its value, moving i past it) into `options`.
OptionRead ReadStartOption(int argc, char** argv, int& i, StartOptions& options, std::string& error);

// "--now": exactly YYYY-MM-DD or YYYY-MM-DDTHH:MM, a real date; false for anything else.
bool ParseNowOption(const std::string& text, int32_t& value);
extern const char* const kNowOptionNeeds;

// The preference store when no "--prefs" is given.
std::string DefaultPreferencesPath();
