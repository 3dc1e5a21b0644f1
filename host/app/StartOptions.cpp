#include "host/app/StartOptions.h"

#include "basekit/BKTime.h"
#include "host/resources/HostResources.h"

#include <cstdio>
#include <cstdlib>

const char* const kNowOptionNeeds = "--now needs YYYY-MM-DD or YYYY-MM-DDTHH:MM";

const char* const kStartOptionsHelp =
    "  --model FILE   open this host project (.qvp) or IFC model (.ifc) first\n"
    "  --addon FILE   load this add-on module instead\n"
    "  --prefs FILE   the preference file (default ~/.config/quorvel/preferences)\n"
    "  --now DATE     fix the clock at this date (and time)\n"
    "  --lang hu|en   the host's own texts in Hungarian or English\n";

OptionRead ReadStartOption(int argc, char** argv, int& i, StartOptions& options, std::string& error) {
    std::string a = argv[i];
    std::string* target = a == "--model" ? &options.model
                        : a == "--addon" ? &options.addon
                        : a == "--prefs" ? &options.prefs
                        : a == "--now"   ? &options.now
                        : a == "--lang"  ? &options.lang
                                         : nullptr;
    if (!target) return OptionRead::NotMine;
    bool lang = a == "--lang";
    if (i + 1 >= argc || (lang && !HostLanguageOfCode(argv[i + 1]))) {
        error = a == "--now" ? kNowOptionNeeds : lang ? "--lang needs hu or en" : a + " needs a file";
        return OptionRead::Bad;
    }
    *target = argv[++i];
    return OptionRead::Taken;
}

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
