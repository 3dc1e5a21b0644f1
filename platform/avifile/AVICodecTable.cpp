#include "avifile/AVICodecTable.h"

#include "avifile/AVIFile.h"

#include <cctype>

namespace {

struct Entry {
    uint32_t fourcc;
    AVICodecChoice choice;
};

const Entry kEntries[] = {
    {AVIMakeFourCC('m', 's', 'v', 'c'), {"msvideo1", AV_PIX_FMT_RGB555LE, true}},
    {AVIMakeFourCC('c', 'r', 'a', 'm'), {"msvideo1", AV_PIX_FMT_RGB555LE, true}},
    {AVIMakeFourCC('d', 'i', 'b', ' '), {nullptr, AV_PIX_FMT_BGR24, false}},
    {AVIMakeFourCC('m', 'j', 'p', 'g'), {"mjpeg", AV_PIX_FMT_YUVJ420P, false}},
    {AVIMakeFourCC('c', 'v', 'i', 'd'), {"cinepak", AV_PIX_FMT_RGB24, true}},
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
