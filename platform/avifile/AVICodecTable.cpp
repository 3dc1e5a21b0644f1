#include "avifile/AVICodecTable.h"

#include "avifile/AVIFile.h"

#include <cctype>

namespace {

struct Entry {
    uint32_t fourcc;
    AVICodecChoice choice;
};

// Microsoft Video 1 and Cinepak have no rate control and FFmpeg's encoders of them no quality
// knob; H.264 goes without reordered pictures, which an AVI index cannot describe.
const Entry kEntries[] = {
    {AVIMakeFourCC('m', 's', 'v', 'c'), {"msvideo1", AV_PIX_FMT_RGB555LE, 4, false, false, false}},
    {AVIMakeFourCC('c', 'r', 'a', 'm'), {"msvideo1", AV_PIX_FMT_RGB555LE, 4, false, false, false}},
    {AVIMakeFourCC('d', 'i', 'b', ' '), {nullptr, AV_PIX_FMT_BGR24, 1, false, false, false}},
    {AVIMakeFourCC('m', 'j', 'p', 'g'), {"mjpeg", AV_PIX_FMT_YUVJ420P, 1, true, true, false}},
    {AVIMakeFourCC('c', 'v', 'i', 'd'), {"cinepak", AV_PIX_FMT_RGB24, 4, false, false, false}},
    {AVIMakeFourCC('h', '2', '6', '4'), {"libx264", AV_PIX_FMT_YUV420P, 2, true, true, true}},
    {AVIMakeFourCC('x', '2', '6', '4'), {"libx264", AV_PIX_FMT_YUV420P, 2, true, true, true}},
    {AVIMakeFourCC('a', 'v', 'c', '1'), {"libx264", AV_PIX_FMT_YUV420P, 2, true, true, true}},
};

const AVICodecOffer kOffers[] = {
    {AVIMakeFourCC('m', 's', 'v', 'c'), "Microsoft Video 1"},
    {AVIMakeFourCC('H', '2', '6', '4'), "H.264"},
    {AVIMakeFourCC('M', 'J', 'P', 'G'), "Motion JPEG"},
    {AVIMakeFourCC('c', 'v', 'i', 'd'), "Cinepak"},
    {AVIMakeFourCC('D', 'I', 'B', ' '), "Full Frames (Uncompressed)"},
};

uint32_t Lower(uint32_t fourcc) {
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        auto c = static_cast<unsigned char>(fourcc >> (8 * i));
        out |= static_cast<uint32_t>(std::tolower(c)) << (8 * i);
    }
    return out;
}

} // namespace

const AVICodecChoice* AVIFindCodec(uint32_t fourcc) {
    uint32_t key = Lower(fourcc);
    for (const auto& e : kEntries)
        if (e.fourcc == key) return &e.choice;
    return nullptr;
}

std::span<const AVICodecOffer> AVICodecOffers() { return kOffers; }
