#include "avifile/AVIDialogTexts.h"

#include <array>
#include <cstdlib>

namespace {

struct Texts {
    std::string_view english, hungarian;
};

constexpr std::array<Texts, 9> kTexts{{
    {"Video Compression", "Videotömörítés"},
    {"OK", "OK"},
    {"Cancel", "Mégse"},
    {"Compressor:", "Tömörítő:"},
    {"Code:", "Kód:"},
    {"Quality (0-10000):", "Minőség (0-10000):"},
    {"Key frame every:", "Kulcsképkocka minden:"},
    {"Data rate (KB/s):", "Adatsebesség (KB/s):"},
    {"Full Frames (Uncompressed)", "Teljes képkockák (tömörítetlen)"},
}};

// The first of the variables that is set and not empty decides, as setlocale(LC_MESSAGES, "") does.
std::string_view MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

} // namespace

std::string_view AVIDialogTextOf(AVIDialogText text, std::string_view locale) {
    const Texts& t = kTexts[static_cast<size_t>(text)];
    const bool hungarian = locale.size() >= 2 && locale.substr(0, 2) == "hu" && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.');
    return hungarian ? t.hungarian : t.english;
}

std::string_view AVIDialogTextOf(AVIDialogText text) { return AVIDialogTextOf(text, MessagesLocale()); }
