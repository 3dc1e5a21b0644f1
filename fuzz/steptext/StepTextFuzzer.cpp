// STEP strings and GlobalIds from any bytes: decoding never reads past the text, a decoded string
// written again reads back the same, and a GlobalId the check accepts decodes and encodes back.
#include "steptext/IfcGlobalId.h"
#include "steptext/StepString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s\n[%s]\n", what, text.c_str());
    __builtin_trap();
}

// Whether the text is UTF-8 of printable characters only, which a STEP string carries unchanged.
bool IsPrintableUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) return false;
            ++i;
            continue;
        }
        const size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        uint32_t cp = c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = cp << 6 | (next & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (auto decoded = StepString(text); decoded && IsPrintableUtf8(*decoded))
        if (StepString(StepStringOf(*decoded)) != decoded) Fail("a string does not read back", *decoded);
    if (IsPrintableUtf8(text) && StepString(StepStringOf(text)) != text) Fail("a text does not read back", text);
    const auto guid = DecodeIfcGlobalId(text);
    if (guid.has_value() != IsIfcGlobalIdText(text)) Fail("the check and the decoder disagree", text);
    if (guid && EncodeIfcGlobalId(*guid) != text) Fail("a GlobalId does not encode back", text);
    return 0;
}
