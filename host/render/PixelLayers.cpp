#include "host/render/PixelLayers.h"

void PixelLayers::AddBeyondList(PixelState& px, const Layer& layer) {
    if (px.slot == kNone) {
        px.slot = slotsUsed_++;
        if (slots_.size() < slotsUsed_) slots_.emplace_back();
        slots_[px.slot].Clear();
        for (uint32_t i = px.head; i != kNone; i = listed_[i].next) slots_[px.slot].Add(listed_[i].layer);
    }
    slots_[px.slot].Add(layer);
}
