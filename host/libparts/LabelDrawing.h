#pragma once
// Draws a label library part onto a picture: its text parameter in a box at its corner, laid
// out in the part's frame (width 1, height the proportion parameter) scaled to the picture width.
#include "host/libparts/LibPartRegistry.h"
#include "host/render/Renderer.h"

// `params` are the caller's parameter records; values of names the part knows replace its own.
// False when the part draws nothing (no label description, no font).
// Draws where the pixels lie (the host's pixel map itself, or an image).
bool DrawLabelPart(const PixelView& picture, const LibPart& part, std::span<const uint8_t> params);
inline bool DrawLabelPart(Image& picture, const LibPart& part, std::span<const uint8_t> params) {
    return DrawLabelPart(ViewOf(picture), part, params);
}

// The parameters in force: the part's own, with same-named, same-typed records of `given`.
std::vector<uint8_t> MergeParams(const std::vector<uint8_t>& own, std::span<const uint8_t> given);
