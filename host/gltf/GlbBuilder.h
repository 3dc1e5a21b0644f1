#pragma once
// A glTF 2.0 binary file put together: the JSON document, and buffer views whose bytes are
// compressed with meshoptimizer (EXT_meshopt_compression) into the binary chunk, their plain
// form standing in a fallback buffer that holds no bytes.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <span>
#include <vector>

class GlbBuilder {
public:
    enum class ViewKind { Attributes, Triangles };

    GlbBuilder();

    // The document, for meshes, nodes and the scene; buffers, views and accessors come below.
    nlohmann::json& Document() { return doc_; }

    // A view of `count` items of `stride` bytes (a multiple of 4, at most 256). Triangles are
    // 32-bit indexes, three a triangle. Returns the view's index.
    size_t AddView(std::span<const uint8_t> bytes, size_t count, size_t stride, ViewKind kind);
    size_t AddTriangleView(std::span<const uint32_t> indexes);

    // An accessor over a whole view; returns its index.
    size_t AddAccessor(size_t view, int componentType, const char* type, size_t count,
                       nlohmann::json min = nullptr, nlohmann::json max = nullptr);

    // The file: the header, the JSON chunk (padded with spaces), the binary chunk.
    std::vector<uint8_t> Finish();

private:
    nlohmann::json doc_;
    std::vector<uint8_t> bin_;
    size_t fallbackSize_ = 0;
};

enum GltfComponent : int { kGltfUnsignedShort = 5123, kGltfUnsignedInt = 5125, kGltfFloat = 5126 };
