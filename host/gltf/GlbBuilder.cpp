#include "host/gltf/GlbBuilder.h"

#include <meshoptimizer.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr uint32_t kGlbMagic = 0x46546C67; // "glTF"
constexpr uint32_t kChunkJson = 0x4E4F534A;
constexpr uint32_t kChunkBin = 0x004E4942;

size_t Padded(size_t n) { return (n + 3) & ~size_t{3}; }

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

GlbBuilder::GlbBuilder() {
    doc_ = {{"asset", {{"version", "2.0"}, {"generator", "Quorvel"}}},
            {"bufferViews", nlohmann::json::array()},
            {"accessors", nlohmann::json::array()}};
}

size_t GlbBuilder::AddView(std::span<const uint8_t> bytes, size_t count, size_t stride, ViewKind kind) {
    if (stride == 0 || stride % 4 != 0 || stride > 256 || bytes.size() != count * stride)
        throw std::invalid_argument("glTF view");
    std::vector<uint8_t> packed;
    if (kind == ViewKind::Attributes) {
        packed.resize(meshopt_encodeVertexBufferBound(count, stride));
        packed.resize(meshopt_encodeVertexBuffer(packed.data(), packed.size(), bytes.data(), count, stride));
    } else {
        if (stride != 4 || count % 3 != 0) throw std::invalid_argument("glTF triangles");
        std::vector<uint32_t> indexes(count);
        std::memcpy(indexes.data(), bytes.data(), bytes.size());
        size_t vertices = 0;
        for (uint32_t i : indexes) vertices = std::max<size_t>(vertices, size_t{i} + 1);
        packed.resize(meshopt_encodeIndexBufferBound(count, vertices));
        packed.resize(meshopt_encodeIndexBuffer(packed.data(), packed.size(), indexes.data(), count));
    }
    if (packed.empty() && count != 0) throw std::runtime_error("meshopt encoding");
    const size_t at = bin_.size();
    bin_.insert(bin_.end(), packed.begin(), packed.end());
    bin_.resize(Padded(bin_.size()), 0);

    nlohmann::json view = {{"buffer", 1}, {"byteOffset", fallbackSize_}, {"byteLength", bytes.size()}};
    nlohmann::json meshopt = {{"buffer", 0},
                              {"byteOffset", at},
                              {"byteLength", packed.size()},
                              {"byteStride", stride},
                              {"count", count},
                              {"mode", kind == ViewKind::Attributes ? "ATTRIBUTES" : "TRIANGLES"}};
    if (kind == ViewKind::Attributes) {
        view["byteStride"] = stride;
        view["target"] = 34962;
    } else {
        view["target"] = 34963;
    }
    view["extensions"]["EXT_meshopt_compression"] = std::move(meshopt);
    fallbackSize_ += Padded(bytes.size());
    doc_["bufferViews"].push_back(std::move(view));
    return doc_["bufferViews"].size() - 1;
}

size_t GlbBuilder::AddTriangleView(std::span<const uint32_t> indexes) {
    return AddView({reinterpret_cast<const uint8_t*>(indexes.data()), indexes.size_bytes()}, indexes.size(), 4,
                   ViewKind::Triangles);
}

size_t GlbBuilder::AddAccessor(size_t view, int componentType, const char* type, size_t count, nlohmann::json min,
                               nlohmann::json max) {
    nlohmann::json a = {{"bufferView", view}, {"componentType", componentType}, {"type", type}, {"count", count}};
    if (!min.is_null()) a["min"] = std::move(min);
    if (!max.is_null()) a["max"] = std::move(max);
    doc_["accessors"].push_back(std::move(a));
    return doc_["accessors"].size() - 1;
}

std::vector<uint8_t> GlbBuilder::Finish() {
    if (!doc_["bufferViews"].empty()) {
        doc_["buffers"] = nlohmann::json::array(
            {{{"byteLength", bin_.size()}},
             {{"byteLength", fallbackSize_}, {"extensions", {{"EXT_meshopt_compression", {{"fallback", true}}}}}}});
        nlohmann::json used = {"EXT_meshopt_compression", "KHR_mesh_quantization"};
        for (const auto& node : doc_.value("nodes", nlohmann::json::array()))
            if (node.contains("extensions")) {
                used.push_back("EXT_mesh_gpu_instancing");
                break;
            }
        doc_["extensionsUsed"] = used;
        doc_["extensionsRequired"] = used;
    } else {
        doc_.erase("bufferViews");
        doc_.erase("accessors");
    }
    std::string json = doc_.dump();
    json.resize(Padded(json.size()), ' ');
    const bool withBin = !bin_.empty();
    const size_t total = 12 + 8 + json.size() + (withBin ? 8 + bin_.size() : 0);
    if (total > UINT32_MAX) throw std::length_error("glTF binary past 4 GB");
    std::vector<uint8_t> out;
    out.reserve(total);
    PutU32(out, kGlbMagic);
    PutU32(out, 2);
    PutU32(out, static_cast<uint32_t>(total));
    PutU32(out, static_cast<uint32_t>(json.size()));
    PutU32(out, kChunkJson);
    out.insert(out.end(), json.begin(), json.end());
    if (withBin) {
        PutU32(out, static_cast<uint32_t>(bin_.size()));
        PutU32(out, kChunkBin);
        out.insert(out.end(), bin_.begin(), bin_.end());
    }
    return out;
}
