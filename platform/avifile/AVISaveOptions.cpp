#include "avifile/AVIFile.h"

#include "avifile/AVICodecTable.h"
#include "dialogkit/DGModalDialog.h"

#include <string>

namespace {

enum : int16_t { kOk = 1, kCancel = 2, kCodec = 3, kQuality = 4, kKeyFrames = 5, kDataRate = 6 };

std::string FourCCText(uint32_t fourcc) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>(fourcc >> (8 * i));
        text.push_back(c == 0 ? ' ' : c);
    }
    return text;
}

// The code typed into the dialog: 1 to 4 printable characters, short ones padded with spaces.
bool ParseFourCC(const std::string& text, uint32_t& out) {
    if (text.empty() || text.size() > 4) return false;
    char c[4] = {' ', ' ', ' ', ' '};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x20 || text[i] > 0x7E) return false;
        c[i] = text[i];
    }
    out = AVIMakeFourCC(c[0], c[1], c[2], c[3]);
    return true;
}

DGItem Item(int16_t id, DGItemKind kind, std::string name, std::string text, int32_t value = 0) {
    DGItem item;
    item.id = id;
    item.kind = kind;
    item.name = std::move(name);
    item.text = std::move(text);
    item.value = value;
    return item;
}

bool ValuesFit(DGModalDialog& d) {
    uint32_t fourcc = 0;
    if (!ParseFourCC(d.FindItem(kCodec)->text, fourcc) || AVIFindCodec(fourcc) == nullptr) return false;
    int32_t quality = d.FindItem(kQuality)->value;
    return (quality == -1 || (quality >= 0 && quality <= 10000)) && d.FindItem(kKeyFrames)->value >= 0 &&
           d.FindItem(kDataRate)->value >= 0 && d.FindItem(kDataRate)->value <= 4194303;
}

bool AskOne(uint32_t flags, AVICOMPRESSOPTIONS& options) {
    DGModalDialog dialog("avi-options", "Video Compression");
    dialog.AddItem(Item(kOk, DGItemKind::Button, "", "OK"));
    dialog.AddItem(Item(kCancel, DGItemKind::Button, "", "Cancel"));
    dialog.AddItem(Item(kCodec, DGItemKind::TextEdit, "codec", FourCCText(options.fccHandler)));
    dialog.AddItem(Item(kQuality, DGItemKind::IntEdit, "quality", "", static_cast<int32_t>(options.dwQuality)));
    DGItem& keyFrames =
        dialog.AddItem(Item(kKeyFrames, DGItemKind::IntEdit, "keyframes", "", static_cast<int32_t>(options.dwKeyFrameEvery)));
    keyFrames.enabled = (flags & ICMF_CHOOSE_KEYFRAME) != 0;
    DGItem& dataRate = dialog.AddItem(
        Item(kDataRate, DGItemKind::IntEdit, "datarate", "", static_cast<int32_t>(options.dwBytesPerSecond / 1024)));
    dataRate.enabled = (flags & ICMF_CHOOSE_DATARATE) != 0;
    // An unknown compressor or a value out of range keeps the dialog open.
    dialog.onClick = [](DGModalDialog& d, int16_t item) { return item != kOk || ValuesFit(d); };

    if (dialog.Run(kOk, kCancel) != kOk) return false;

    uint32_t fourcc = 0;
    ParseFourCC(dialog.FindItem(kCodec)->text, fourcc);
    options.fccType = streamtypeVIDEO;
    options.fccHandler = fourcc;
    options.dwQuality = static_cast<uint32_t>(dialog.FindItem(kQuality)->value);
    if (flags & ICMF_CHOOSE_KEYFRAME) {
        options.dwKeyFrameEvery = static_cast<uint32_t>(dialog.FindItem(kKeyFrames)->value);
        if (options.dwKeyFrameEvery > 0)
            options.dwFlags |= AVICOMPRESSF_KEYFRAMES;
        else
            options.dwFlags &= ~AVICOMPRESSF_KEYFRAMES;
    }
    if (flags & ICMF_CHOOSE_DATARATE) {
        options.dwBytesPerSecond = static_cast<uint32_t>(dialog.FindItem(kDataRate)->value) * 1024;
        if (options.dwBytesPerSecond > 0)
            options.dwFlags |= AVICOMPRESSF_DATARATE;
        else
            options.dwFlags &= ~AVICOMPRESSF_DATARATE;
    }
    options.dwFlags |= AVICOMPRESSF_VALID;
    return true;
}

} // namespace

bool AVISaveOptions(uintptr_t /*owner*/, uint32_t flags, int32_t streamCount, PAVISTREAM* streams,
                    AVICOMPRESSOPTIONS** options) {
    if (streamCount <= 0 || streams == nullptr || options == nullptr) return false;
    for (int32_t i = 0; i < streamCount; ++i)
        if (options[i] == nullptr) return false;
    // Every stream's answer is taken, or none.
    std::vector<AVICOMPRESSOPTIONS> answers;
    for (int32_t i = 0; i < streamCount; ++i) {
        AVICOMPRESSOPTIONS copy = *options[i];
        if (!AskOne(flags, copy)) return false;
        answers.push_back(copy);
    }
    for (int32_t i = 0; i < streamCount; ++i) *options[i] = answers[static_cast<size_t>(i)];
    return true;
}
