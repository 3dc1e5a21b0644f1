#pragma once
// The tests' reader of the glTF binaries the host writes: the chunks checked, the JSON parsed, and
// a meshopt-compressed accessor decoded back into its plain bytes.
#include <gtest/gtest.h>
#include <meshoptimizer.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

struct GlbParts {
    nlohmann::json doc;
    std::vector<uint8_t> bin;
};

inline uint32_t GlbU32(std::span<const uint8_t> b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// The header, the JSON chunk and the binary chunk, each within the file and in its place.
inline bool ReadGlb(std::span<const uint8_t> file, GlbParts& out) {
    if (file.size() < 20 || GlbU32(file, 0) != 0x46546C67 || GlbU32(file, 4) != 2 || GlbU32(file, 8) != file.size())
        return false;
    const uint32_t jsonLength = GlbU32(file, 12);
    if (GlbU32(file, 16) != 0x4E4F534A || jsonLength % 4 != 0 || 20 + size_t{jsonLength} > file.size()) return false;
    out.doc = nlohmann::json::parse(file.begin() + 20, file.begin() + 20 + jsonLength);
    size_t at = 20 + jsonLength;
    if (at == file.size()) return true;
    if (at + 8 > file.size()) return false;
    const uint32_t binLength = GlbU32(file, at);
    if (GlbU32(file, at + 4) != 0x004E4942 || at + 8 + binLength != file.size()) return false;
    out.bin.assign(file.begin() + static_cast<ptrdiff_t>(at + 8), file.end());
    return true;
}

// The plain bytes of a compressed view, checked against the buffers' sizes.
inline std::vector<uint8_t> DecodeView(const GlbParts& glb, size_t view) {
    const nlohmann::json& v = glb.doc["bufferViews"].at(view);
    const nlohmann::json& m = v["extensions"]["EXT_meshopt_compression"];
    const size_t offset = m["byteOffset"], length = m["byteLength"], stride = m["byteStride"], count = m["count"];
    EXPECT_EQ(m["buffer"], 0);
    EXPECT_LE(offset + length, glb.bin.size());
    EXPECT_EQ(v["byteLength"].get<size_t>(), count * stride);
    EXPECT_LE(v["byteOffset"].get<size_t>() + v["byteLength"].get<size_t>(),
              glb.doc["buffers"][1]["byteLength"].get<size_t>());
    std::vector<uint8_t> out(count * stride);
    if (offset + length > glb.bin.size()) return {};
    const unsigned char* data = glb.bin.data() + offset;
    const int rc = m["mode"] == "TRIANGLES" ? meshopt_decodeIndexBuffer(out.data(), count, stride, data, length)
                                            : meshopt_decodeVertexBuffer(out.data(), count, stride, data, length);
    EXPECT_EQ(rc, 0);
    return out;
}

template <typename T> std::vector<T> DecodeAccessor(const GlbParts& glb, size_t accessor, size_t width) {
    const nlohmann::json& a = glb.doc["accessors"].at(accessor);
    const std::vector<uint8_t> bytes = DecodeView(glb, a["bufferView"]);
    const size_t count = a["count"];
    const size_t stride = glb.doc["bufferViews"][a["bufferView"].get<size_t>()]["extensions"]["EXT_meshopt_compression"]["byteStride"];
    std::vector<T> out(count * width);
    for (size_t i = 0; i < count && (i + 1) * stride <= bytes.size(); ++i)
        std::memcpy(out.data() + i * width, bytes.data() + i * stride, width * sizeof(T));
    return out;
}
