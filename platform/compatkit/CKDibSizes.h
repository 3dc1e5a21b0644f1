#pragma once
// Sizes of the parts of a packed device-independent bitmap.
#include <cstdint>
#include <span>

// Header size (information header, bit masks and colour table) and image size of the packed
// bitmap in `dib`. False when the header is unreadable, describes an impossible picture, or the
// bytes are shorter than header and image together.
bool CKGetDIBSizes(std::span<const uint8_t> dib, uint32_t& headerSize, uint32_t& imageSize);
