#include "host/ifc/building/IfcPackedProperties.h"

namespace {

void Append(std::string& bytes, std::string_view text) {
    const auto size = static_cast<uint32_t>(text.size());
    bytes.append(reinterpret_cast<const char*>(&size), sizeof size);
    bytes.append(text);
}

// Past one length and its bytes, or npos when they do not fit in `bytes` from `at`.
size_t TextEnd(std::string_view bytes, size_t at) {
    uint32_t size;
    if (bytes.size() - at < sizeof size) return std::string_view::npos;
    std::memcpy(&size, bytes.data() + at, sizeof size);
    at += sizeof size;
    return size > bytes.size() - at ? std::string_view::npos : at + size;
}

} // namespace

void IfcPackedProperties::AppendPair(std::string& bytes, std::string_view key, std::string_view value) {
    Append(bytes, key);
    Append(bytes, value);
}

void IfcPackedProperties::Add(std::string_view key, std::string_view value) {
    AppendPair(bytes_, key, value);
    ++count_;
}

bool IfcPackedProperties::Take(std::string_view& bytes, uint32_t count) {
    if (count > UINT32_MAX - count_) return false;
    size_t end = 0;
    for (uint64_t texts = 2 * uint64_t{count}; texts > 0; --texts)
        if ((end = TextEnd(bytes, end)) == std::string_view::npos) return false;
    bytes_.append(bytes.substr(0, end));
    count_ += count;
    bytes.remove_prefix(end);
    return true;
}

std::vector<std::pair<std::string, std::string>> IfcPackedProperties::Unpacked() const {
    std::vector<std::pair<std::string, std::string>> pairs;
    pairs.reserve(count_);
    ForEach([&](std::string_view key, std::string_view value) { pairs.emplace_back(key, value); });
    return pairs;
}
