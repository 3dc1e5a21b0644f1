#include "host/ifc/building/IfcHostText.h"

#include "basekit/BKText.h"

#include <iconv.h>
#include <locale.h>

namespace {

// glibc transliterates by the locale's tables; the plain "C" locale has almost none, so the
// conversion runs under C.UTF-8, on this thread only.
std::string Transliterate(std::string_view character) {
    static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    locale_t previous = utf8Locale ? uselocale(utf8Locale) : static_cast<locale_t>(nullptr);
    std::string out;
    iconv_t cd = iconv_open("CP1250//TRANSLIT", "UTF-8");
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        std::string in(character);
        char buffer[32];
        char* inp = in.data();
        char* outp = buffer;
        size_t inLeft = in.size(), outLeft = sizeof buffer;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && inLeft == 0)
            out.assign(buffer, static_cast<size_t>(outp - buffer));
        iconv_close(cd);
    }
    if (utf8Locale) uselocale(previous);
    return out.empty() ? "?" : out;
}

} // namespace

std::string HostTextFromIfc(std::string_view utf8, size_t maxBytes) {
    std::string text;
    text.reserve(utf8.size());
    while (!utf8.empty()) {
        auto bad = BKFirstUnmappable(utf8);
        size_t plain = bad ? bad->offset : utf8.size();
        text += BKFromUtf8(utf8.substr(0, plain));
        if (!bad) break;
        text += bad->character == 0xFFFD ? std::string("?") : Transliterate(utf8.substr(bad->offset, bad->length));
        utf8.remove_prefix(bad->offset + bad->length);
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() > maxBytes) {
        text.resize(maxBytes);
        while (!text.empty() && text.back() == ' ') text.pop_back();
    }
    return text;
}
