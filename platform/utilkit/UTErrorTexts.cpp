#include "utilkit/UTErrorTexts.h"

#include "utilkit/UTErrorReport.h"

#include <cstdio>

namespace {

const char* AVIFileText(uint32_t code) {
    switch (code) {
    case 0x80044065: return "the operation is not supported";
    case 0x80044066: return "the picture format cannot be handled";
    case 0x80044067: return "not enough memory";
    case 0x80044068: return "internal error";
    case 0x80044069: return "bad flags";
    case 0x8004406A: return "bad parameter";
    case 0x8004406B: return "bad size";
    case 0x8004406C: return "bad handle";
    case 0x8004406D: return "the file cannot be read";
    case 0x8004406E: return "the file cannot be written";
    case 0x8004406F: return "the file cannot be opened";
    case 0x80044070: return "compressor error";
    case 0x80044071: return "no compressor for this format";
    case 0x80044072: return "the file is read-only";
    case 0x80044073: return "no data";
    case 0x80044074: return "buffer too small";
    case 0x80044075: return "the picture cannot be compressed";
    case 0x800440C6: return "cancelled";
    default: return "unknown error";
    }
}

} // namespace

std::string UTErrorNumberText(int32_t errorNumber) {
    if (errorNumber == kUTErrorMovieFile) return "The movie file cannot be written.";
    return "Error " + std::to_string(errorNumber) + ".";
}

std::string UTSystemErrorText(int32_t category, int32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    if (category == kUTCategoryAVIFile)
        return std::string("Video file error ") + hex + ": " + AVIFileText(static_cast<uint32_t>(code)) + ".";
    return "System error " + std::to_string(category) + "/" + hex + ".";
}
