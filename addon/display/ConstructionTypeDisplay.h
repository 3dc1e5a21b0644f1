#pragma once
// Which attributes of each displayable element kind take the construction type's pen and
// material while the element is under work, and where its own values wait meanwhile (the save
// area of its link record, bytes 42-87).
#include "schedule/tasks/ElementLink.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace TypeDisplay {

// Save slots: offsets in the link record.
constexpr size_t kPen1 = ElementLinkRecord::kSaveArea, kPen2 = 44, kPen3 = 46, kPen4 = 74, kPen5 = 76, kPen6 = 78;
constexpr size_t kMat1 = 48, kMat2 = 50, kMat3 = 52, kMat4 = 54, kMat5 = 56, kMat6 = 68, kMat7 = 70;
constexpr size_t kFlag1 = 60, kFlag2 = 64, kFlag3 = 84;

// Set only when the element's own first pen is 0, which alone would read as "not overridden".
// Records of earlier versions never hold it, and it is emptied with the save area.
constexpr size_t kZeroPenMark = 72;

// An element counts as overridden while its first saved pen is not 0 or the mark says that pen was 0.
inline bool IsOverridden(const ElementLinkRecord& link) {
    return LE::Get<int16_t>(link.Span(), kPen1) != 0 || LE::Get<int16_t>(link.Span(), kZeroPenMark) != 0;
}

// Saves the element's own values (per its kind) into the link record and gives it pen `pen`
// and material `material`; marks every touched field in `mask`. Kinds without a row are left alone.
void OverrideAttributes(std::span<uint8_t> element, std::span<uint8_t> mask, ElementLinkRecord& link, int16_t pen,
                        int16_t material);
// The element's value of the field its kind saves as the first pen; nothing for a kind without a row.
std::optional<int16_t> FirstPen(std::span<const uint8_t> element);
// The material the element's kind paints first, as the element's own: from the save area while the
// type's look is over it. Nothing for a kind without materials.
std::optional<int16_t> OwnMaterial(std::span<const uint8_t> element, const ElementLinkRecord& link);
// Gives the element back the saved values, marks them in `mask`, and empties the save area.
void RestoreAttributes(std::span<uint8_t> element, std::span<uint8_t> mask, ElementLinkRecord& link);

} // namespace TypeDisplay
