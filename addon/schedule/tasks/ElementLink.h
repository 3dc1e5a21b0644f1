#pragma once
// The 88-byte block the add-on keeps on each linked element: ten task-id slots, the layer the
// element had while the display hides it, and the save area of its own pens and materials.
#include "bytes/LittleEndian.h"

#include <array>
#include <cstdint>
#include <span>

using ElementLink = std::array<int32_t, 10>;

struct ElementLinkRecord {
    static constexpr size_t kSize = 88;
    static constexpr int16_t kVersion = 103;
    static constexpr uint16_t kPlatformSign = 0x5757;
    static constexpr size_t kSavedLayer = 40;
    static constexpr size_t kSaveArea = 42;

    std::array<uint8_t, kSize> bytes{};

    static bool IsAcceptedVersion(int16_t v) { return v >= 100 && v <= 103; }

    int32_t Slot(size_t k) const { return LE::Get<int32_t>(bytes, 4 * k); }
    void SetSlot(size_t k, int32_t id) { LE::Put<int32_t>(bytes, 4 * k, id); }
    ElementLink Slots() const {
        ElementLink s{};
        for (size_t k = 0; k < s.size(); ++k) s[k] = Slot(k);
        return s;
    }
    void SetSlots(const ElementLink& s) {
        for (size_t k = 0; k < s.size(); ++k) SetSlot(k, s[k]);
    }
    // A print of the look the display laid over the element in the host (0: none); beside the save
    // area, so restoring the attributes leaves it.
    static constexpr size_t kLookPrint = 80;
    uint32_t LookPrint() const { return LE::Get<uint32_t>(bytes, kLookPrint); }
    void SetLookPrint(uint32_t print) { LE::Put<uint32_t>(bytes, kLookPrint, print); }
    int16_t SavedLayer() const { return LE::Get<int16_t>(bytes, kSavedLayer); }
    void SetSavedLayer(int16_t layer) { LE::Put<int16_t>(bytes, kSavedLayer, layer); }
    std::span<uint8_t> Span() { return bytes; }
    std::span<const uint8_t> Span() const { return bytes; }
    bool operator==(const ElementLinkRecord&) const = default;
};

// 10 minus the number of trailing empty slots.
int CountLinks(const ElementLink& slots);
// Moves the last used slot into the first gap before it, gap by gap until none is left; returns
// the count before compacting.
int CompactLinks(ElementLink& slots);
