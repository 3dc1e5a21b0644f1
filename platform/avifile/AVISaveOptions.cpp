#include "avifile/AVIFile.h"

#include "avifile/AVICodecTable.h"
#include "avifile/AVIDialogTexts.h"
#include "dialogkit/DGModalDialog.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

enum : int16_t {
    kOk = 1, kCancel = 2, kCodec = 3, kQuality = 4, kKeyFrames = 5, kDataRate = 6, kCompressor = 7,
    kCompressorLabel = 8, kCodecLabel = 9, kQualityLabel = 10, kKeyFramesLabel = 11, kDataRateLabel = 12,
};

std::string Text(AVIDialogText text) { return std::string(AVIDialogTextOf(text)); }

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
    // Where each item sits, so that a windowed back-end can draw the dialog as laid out here.
    static constexpr int16_t kLabelLeft = 10, kFieldLeft = 120, kFieldWidth = 190, kRow = 28;
    static const auto row = [](int16_t r) { return static_cast<int16_t>(10 + r * kRow); };
    DGItem item;
    switch (id) {
    case kCompressorLabel: item.rect = {kLabelLeft, row(0), 105, 20}; break;
    case kCompressor: item.rect = {kFieldLeft, row(0), kFieldWidth, 22}; break;
    case kCodecLabel: item.rect = {kLabelLeft, row(1), 105, 20}; break;
    case kCodec: item.rect = {kFieldLeft, row(1), 60, 22}; break;
    case kQualityLabel: item.rect = {kLabelLeft, row(2), 105, 20}; break;
    case kQuality: item.rect = {kFieldLeft, row(2), 80, 22}; break;
    case kKeyFramesLabel: item.rect = {kLabelLeft, row(3), 105, 20}; break;
    case kKeyFrames: item.rect = {kFieldLeft, row(3), 80, 22}; break;
    case kDataRateLabel: item.rect = {kLabelLeft, row(4), 105, 20}; break;
    case kDataRate: item.rect = {kFieldLeft, row(4), 80, 22}; break;
    case kOk: item.rect = {150, row(5) + 6, 75, 24}; break;
    case kCancel: item.rect = {235, row(5) + 6, 75, 24}; break;
    default: break;
    }
    item.id = id;
    item.kind = kind;
    item.name = std::move(name);
    item.text = std::move(text);
    item.value = value;
    return item;
}

const AVICodecChoice* ChosenCodec(DGModalDialog& d) {
    uint32_t fourcc = 0;
    return ParseFourCC(d.FindItem(kCodec)->text, fourcc) ? AVIFindCodec(fourcc) : nullptr;
}

bool IntraOnly(const AVICodecChoice& codec) {
    // Every picture of these stands on its own: there is no key-frame rhythm to choose.
    return codec.encoder == nullptr || std::string_view(codec.encoder) == "mjpeg";
}

// Only the settings the chosen compressor follows are offered.
void OfferSettings(DGModalDialog& d, uint32_t flags) {
    const AVICodecChoice* codec = ChosenCodec(d);
    d.FindItem(kQuality)->enabled = codec != nullptr && codec->takesQuality;
    d.FindItem(kKeyFrames)->enabled = (flags & ICMF_CHOOSE_KEYFRAME) != 0 && codec != nullptr && !IntraOnly(*codec);
    d.FindItem(kDataRate)->enabled = (flags & ICMF_CHOOSE_DATARATE) != 0 && codec != nullptr && codec->takesBitRate;
    uint32_t fourcc = 0;
    ParseFourCC(d.FindItem(kCodec)->text, fourcc);
    auto offers = AVICodecOffers();
    DGItem* list = d.FindItem(kCompressor);
    list->value = 0;
    for (size_t i = 0; i < offers.size(); ++i)
        if (AVIFindCodec(offers[i].fourcc) == codec && codec != nullptr) {
            list->value = static_cast<int32_t>(i) + 1;
            break;
        }
}

bool ValuesFit(DGModalDialog& d) {
    uint32_t fourcc = 0;
    if (!ParseFourCC(d.FindItem(kCodec)->text, fourcc) || AVIFindCodec(fourcc) == nullptr) return false;
    int32_t quality = d.FindItem(kQuality)->value;
    return (quality == -1 || (quality >= 0 && quality <= 10000)) && d.FindItem(kKeyFrames)->value >= 0 &&
           d.FindItem(kDataRate)->value >= 0 && d.FindItem(kDataRate)->value <= 4194303;
}

bool AskOne(uint32_t flags, AVICOMPRESSOPTIONS& options) {
    DGModalDialog dialog("avi-options", Text(AVIDialogText::Title));
    dialog.AddItem(Item(kOk, DGItemKind::Button, "", Text(AVIDialogText::Ok)));
    dialog.AddItem(Item(kCancel, DGItemKind::Button, "", Text(AVIDialogText::Cancel)));
    dialog.AddItem(Item(kCodec, DGItemKind::TextEdit, "codec", FourCCText(options.fccHandler)));
    dialog.AddItem(Item(kQuality, DGItemKind::IntEdit, "quality", "", static_cast<int32_t>(options.dwQuality)));
    DGItem& keyFrames =
        dialog.AddItem(Item(kKeyFrames, DGItemKind::IntEdit, "keyframes", "", static_cast<int32_t>(options.dwKeyFrameEvery)));
    keyFrames.enabled = (flags & ICMF_CHOOSE_KEYFRAME) != 0;
    dialog.AddItem(
        Item(kDataRate, DGItemKind::IntEdit, "datarate", "", static_cast<int32_t>(options.dwBytesPerSecond / 1024)));
    DGItem compressor = Item(kCompressor, DGItemKind::PopUp, "compressor", "");
    for (const auto& offer : AVICodecOffers()) {
        const bool uncompressed = offer.fourcc == AVIMakeFourCC('D', 'I', 'B', ' ');
        compressor.entries.push_back({uncompressed ? Text(AVIDialogText::FullFrames) : offer.label, static_cast<int32_t>(offer.fourcc)});
    }
    dialog.AddItem(compressor);
    dialog.AddItem(Item(kCompressorLabel, DGItemKind::StaticText, "", Text(AVIDialogText::Compressor)));
    dialog.AddItem(Item(kCodecLabel, DGItemKind::StaticText, "", Text(AVIDialogText::Code)));
    dialog.AddItem(Item(kQualityLabel, DGItemKind::StaticText, "", Text(AVIDialogText::Quality)));
    dialog.AddItem(Item(kKeyFramesLabel, DGItemKind::StaticText, "", Text(AVIDialogText::KeyFrames)));
    dialog.AddItem(Item(kDataRateLabel, DGItemKind::StaticText, "", Text(AVIDialogText::DataRate)));
    OfferSettings(dialog, flags);
    dialog.onChange = [flags](DGModalDialog& d, int16_t item) {
        if (item == kCompressor) {
            int32_t chosen = d.FindItem(kCompressor)->value;
            if (chosen >= 1 && static_cast<size_t>(chosen) <= AVICodecOffers().size())
                d.FindItem(kCodec)->text = FourCCText(AVICodecOffers()[static_cast<size_t>(chosen) - 1].fourcc);
        }
        OfferSettings(d, flags);
    };
    // An unknown compressor or a value out of range keeps the dialog open.
    dialog.onClick = [](DGModalDialog& d, int16_t item) { return item != kOk || ValuesFit(d); };

    if (dialog.Run(kOk, kCancel) != kOk) return false;
    OfferSettings(dialog, flags);

    uint32_t fourcc = 0;
    ParseFourCC(dialog.FindItem(kCodec)->text, fourcc);
    options.fccType = streamtypeVIDEO;
    options.fccHandler = fourcc;
    // A setting the compressor does not follow is not recorded as if it were.
    options.dwQuality = dialog.FindItem(kQuality)->enabled ? static_cast<uint32_t>(dialog.FindItem(kQuality)->value)
                                                           : 0xFFFFFFFF;
    if (!dialog.FindItem(kDataRate)->enabled) {
        options.dwBytesPerSecond = 0;
        options.dwFlags &= ~AVICOMPRESSF_DATARATE;
    }
    if (!dialog.FindItem(kKeyFrames)->enabled && (flags & ICMF_CHOOSE_KEYFRAME)) {
        // Every picture is a key frame of its own: there is nothing to ask for.
        options.dwKeyFrameEvery = 0;
        options.dwFlags &= ~AVICOMPRESSF_KEYFRAMES;
    } else if (flags & ICMF_CHOOSE_KEYFRAME) {
        options.dwKeyFrameEvery = static_cast<uint32_t>(dialog.FindItem(kKeyFrames)->value);
        if (options.dwKeyFrameEvery > 0)
            options.dwFlags |= AVICOMPRESSF_KEYFRAMES;
        else
            options.dwFlags &= ~AVICOMPRESSF_KEYFRAMES;
    }
    if (dialog.FindItem(kDataRate)->enabled) {
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
