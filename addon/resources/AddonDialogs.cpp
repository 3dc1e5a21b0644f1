#include "resources/AddonDialogs.h"

#include "bytes/LittleEndian.h"
#include "resources/AddonResources.h"

namespace {

class Reader {
public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}
    bool I16(int16_t& out) {
        if (data_.size() - pos_ < 2) return false;
        out = LE::Get<int16_t>(data_, pos_);
        pos_ += 2;
        return true;
    }
    bool Text(std::string& out) {
        for (size_t end = pos_; end < data_.size(); ++end) {
            if (data_[end] == 0) {
                out.assign(reinterpret_cast<const char*>(data_.data() + pos_), end - pos_);
                pos_ = end + 1;
                return true;
            }
        }
        return false;
    }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

constexpr int16_t kItemKindCount = 12; // DGItemKind's values, in its order

} // namespace

bool DecodeAddonDialog(std::span<const uint8_t> data, AddonDialogDescription& out) {
    if (data.size() < 4) return false;
    uint32_t size = LE::Get<uint32_t>(data, 0);
    if (size > data.size() - 4) return false;
    Reader r(data.subspan(4, size));
    AddonDialogDescription d;
    int16_t count = 0;
    if (!r.I16(d.width) || !r.I16(d.height) || !r.Text(d.title) || !r.I16(count) || count < 0) return false;
    for (int16_t i = 0; i < count; ++i) {
        DGItem item;
        int16_t kind = 0;
        if (!r.I16(item.id) || !r.I16(kind) || kind < 0 || kind >= kItemKindCount) return false;
        item.kind = static_cast<DGItemKind>(kind);
        if (!r.I16(item.rect.left) || !r.I16(item.rect.top) || !r.I16(item.rect.width) || !r.I16(item.rect.height) ||
            !r.Text(item.text) || !r.Text(item.name))
            return false;
        d.items.push_back(std::move(item));
    }
    out = std::move(d);
    return true;
}

bool GetAddonDialog(int16_t id, AddonDialogDescription& out) {
    BKResModuleScope scope(AddonResModule());
    return DecodeAddonDialog(BKGetResource(kAddonDialogType, id), out);
}

std::unique_ptr<DGModalDialog> MakeAddonModalDialog(int16_t id) {
    AddonDialogDescription d;
    if (!GetAddonDialog(id, d)) return nullptr;
    auto dialog = std::make_unique<DGModalDialog>(std::to_string(id), d.title);
    for (auto& item : d.items) dialog->AddItem(std::move(item));
    return dialog;
}
