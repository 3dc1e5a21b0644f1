#include "host/app/StartOptions.h"

#include "basekit/BKTime.h"

#include <cstdio>
#include <cstdlib>

const char* const kNowOptionNeeds = "--now needs YYYY-MM-DD or YYYY-MM-DDTHH:MM";

bool ParseNowOption(const std::string& text, int32_t& value) {
    int y = 0, m = 0, d = 0, hh = 0, mm = 0;
    int n = std::sscanf(text.c_str(), "%d-%d-%dT%d:%d", &y, &m, &d, &hh, &mm);
    if (n != 3 && n != 5) return false;
    // The text must be exactly the date (and time), nothing before or after.
    char again[32];
    if (n == 3) std::snprintf(again, sizeof again, "%04d-%02d-%02d", y, m, d);
    else std::snprintf(again, sizeof again, "%04d-%02d-%02dT%02d:%02d", y, m, d, hh, mm);
    if (text != again || hh > 23 || mm > 59) return false;
    auto v = BKMakeTime(y, m, d, hh, mm);
    if (!v) return false;
    value = *v;
    return true;
}

std::string DefaultPreferencesPath() {
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/quorvel/preferences";
}

std::string DefaultRecoveryFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return std::string(state) + "/quorvel/recovery";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.local/state/quorvel/recovery";
}
