#include "host/ifc/helper/KeptRecordFacts.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// Reads this class's own blocks; every length is checked all the same, so a fault in the
// keeping is a product read again, never a read past the block.
class BlockReader {
public:
    explicit BlockReader(std::string_view bytes) : rest_(bytes) {}

    std::optional<uint32_t> U32() {
        uint32_t value;
        if (rest_.size() < sizeof value) return std::nullopt;
        std::memcpy(&value, rest_.data(), sizeof value);
        rest_.remove_prefix(sizeof value);
        return value;
    }
    bool Text(std::string& out) {
        const std::optional<uint32_t> size = U32();
        if (!size || rest_.size() < *size) return false;
        out.assign(rest_.data(), *size);
        rest_.remove_prefix(*size);
        return true;
    }
    bool Texts(std::vector<std::string>& out) {
        const std::optional<uint32_t> count = U32();
        if (!count || *count > rest_.size() / sizeof(uint32_t)) return false;
        out.resize(*count);
        return std::all_of(out.begin(), out.end(), [this](std::string& text) { return Text(text); });
    }
    bool Double(double& out) {
        if (rest_.size() < sizeof out) return false;
        std::memcpy(&out, rest_.data(), sizeof out);
        rest_.remove_prefix(sizeof out);
        return true;
    }
    std::string_view& Rest() { return rest_; }

private:
    std::string_view rest_;
};

} // namespace

void KeptRecordFacts::PutU32(uint32_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    bytes_.append(bytes, sizeof bytes);
}

void KeptRecordFacts::PutText(std::string_view text) {
    PutU32(static_cast<uint32_t>(text.size()));
    bytes_.append(text);
}

void KeptRecordFacts::PutPair(std::string_view key, std::string_view value) {
    pair_.clear();
    IfcPackedProperties::AppendPair(pair_, key, value);
    auto found = pairNumbers_.find(pair_);
    if (found == pairNumbers_.end()) {
        pairs_.push_back(pair_);
        found = pairNumbers_.emplace(pairs_.back(), static_cast<uint32_t>(pairs_.size() - 1)).first;
    }
    PutU32(found->second);
}

void KeptRecordFacts::Keep(uint32_t position, const std::vector<int>& bodies, const IfcProductData& p) {
    if (!positions_.empty() && position <= positions_.back()) return;
    positions_.push_back(position);
    begins_.push_back(bytes_.size());
    PutU32(static_cast<uint32_t>(bodies.size()));
    for (int body : bodies) PutU32(static_cast<uint32_t>(body));
    PutText(p.description);
    PutText(p.objectType);
    PutText(p.layer);
    for (const std::vector<std::string>* texts : {&p.materials, &p.classifications}) {
        PutU32(static_cast<uint32_t>(texts->size()));
        for (const std::string& text : *texts) PutText(text);
    }
    bytes_.push_back(p.hasColour ? '\1' : '\0');
    if (p.hasColour) {
        const double values[] = {p.rgb[0], p.rgb[1], p.rgb[2], p.transparency};
        char bytes[sizeof values];
        std::memcpy(bytes, values, sizeof values);
        bytes_.append(bytes, sizeof bytes);
    }
    PutU32(static_cast<uint32_t>(p.properties.size() + p.packedProperties.Size()));
    for (const auto& [key, value] : p.properties) PutPair(key, value);
    p.packedProperties.ForEach([this](std::string_view key, std::string_view value) { PutPair(key, value); });
}

bool KeptRecordFacts::Give(uint32_t position, const std::vector<int>& bodies, IfcProductData& p) const {
    const auto found = std::lower_bound(positions_.begin(), positions_.end(), position);
    if (found == positions_.end() || *found != position) return false;
    const auto index = static_cast<size_t>(found - positions_.begin());
    const size_t end = index + 1 < begins_.size() ? begins_[index + 1] : bytes_.size();
    BlockReader in(std::string_view(bytes_).substr(begins_[index], end - begins_[index]));
    const std::optional<uint32_t> count = in.U32();
    if (!count || *count != bodies.size()) return false;
    for (int body : bodies)
        if (in.U32() != static_cast<uint32_t>(body)) return false;
    IfcProductData read;
    if (!in.Text(read.description) || !in.Text(read.objectType) || !in.Text(read.layer) || !in.Texts(read.materials) ||
        !in.Texts(read.classifications) || in.Rest().empty())
        return false;
    read.hasColour = in.Rest().front() != '\0';
    in.Rest().remove_prefix(1);
    if (read.hasColour && !(in.Double(read.rgb[0]) && in.Double(read.rgb[1]) && in.Double(read.rgb[2]) &&
                            in.Double(read.transparency)))
        return false;
    const std::optional<uint32_t> properties = in.U32();
    if (!properties || *properties != in.Rest().size() / sizeof(uint32_t)) return false;
    std::string packed;
    for (uint32_t i = 0; i < *properties; ++i) {
        const std::optional<uint32_t> number = in.U32();
        if (!number || *number >= pairs_.size()) return false;
        packed += pairs_[*number];
    }
    std::string_view pairs = packed;
    if (!in.Rest().empty() || !read.packedProperties.Take(pairs, *properties)) return false;
    p.description = std::move(read.description);
    p.objectType = std::move(read.objectType);
    p.layer = std::move(read.layer);
    p.materials = std::move(read.materials);
    p.classifications = std::move(read.classifications);
    p.hasColour = read.hasColour;
    p.rgb = read.rgb;
    p.transparency = read.transparency;
    p.packedProperties = std::move(read.packedProperties);
    return true;
}
