#pragma once
// What lies at each pixel of a band of rows over the opaque picture: see-through surfaces, and the
// edges among them. Each pixel's layers are read from the farthest to the nearest, ties broken by
// a fixed order, so the layers blend the same way whatever the thread or the band.
//
// A pixel keeps its nearest kNearest layers as they are. Farther ones, seen only through all of
// those, are pooled into one layer of their mean colour and combined opacity, blended first: a
// large model's ghost puts dozens of faces behind each other at one pixel, and sorting them all
// would change little. Up to kNearest layers a pixel blends exactly in order.
#include "host/render/Scene.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

class PixelLayers {
public:
    static constexpr uint32_t kNearest = 16;

    struct Layer {
        float z;         // 1/depth, positive: smaller is farther
        uint32_t order;  // among layers at one depth, the larger is nearer
        bool edge;       // an edge drawn in `pen`, else a surface of `colour` and `opacity`
        uint32_t pen;
        Rgb colour;
        float opacity;
    };

    // Every pixel of `pixels` pixels empty. Only the pixels used last time are cleared: most of a
    // band seldom holds glass.
    void Reset(size_t pixels) {
        for (uint32_t p : used_) pixels_[p] = {};
        used_.clear();
        listed_.clear();
        slotsUsed_ = 0;
        if (pixels_.size() < pixels) pixels_.resize(pixels);
        states_ = pixels_.size();
    }

    bool Any(size_t pixel) const { return pixels_[pixel].count != 0; }

    // A pixel's first layers are listed as they come; once it has more than kNearest, they move
    // to a slot of its own that keeps the nearest and pools the rest.
    // Inlined where the layers are made: a layer built there goes straight into the list.
    [[gnu::always_inline]] void Add(size_t pixel, const Layer& layer) {
        if (pixel >= states_ || listed_.size() >= kNone) throw std::length_error("a see-through layer out of bounds");
        PixelState& px = pixels_[pixel];
        if (px.count == 0) used_.push_back(static_cast<uint32_t>(pixel));
        if (px.count <= kNearest) ++px.count; // past that the slot counts
        if (px.slot == kNone && px.count <= kNearest) {
            listed_.push_back({layer, px.head});
            px.head = static_cast<uint32_t>(listed_.size() - 1);
            return;
        }
        AddBeyondList(px, layer);
    }

    // The pixels that have layers, in no particular order.
    const std::vector<uint32_t>& Pixels() const { return used_; }

    // Calls f(layer) for the pixel's layers from the farthest, leaving out those an edge nearer
    // than them covers: an edge's pen replaces whatever lies behind. Layers no order tells
    // apart are the same edge met twice, alike in what they draw.
    template <typename F> void ForEach(size_t pixel, F&& f) const {
        const PixelState& px = pixels_[pixel];
        // Most pixels hold one layer or two: neither needs a sort.
        if (px.slot == kNone && px.count <= 2) {
            const Listed& later = listed_[px.head];
            if (px.count == 1) {
                f(later.layer);
                return;
            }
            const Listed& earlier = listed_[later.next];
            const bool laterNearer = KeyOf(earlier.layer) < KeyOf(later.layer);
            const Layer& nearer = laterNearer ? later.layer : earlier.layer;
            if (!nearer.edge) f(laterNearer ? earlier.layer : later.layer);
            f(nearer);
            return;
        }
        const Slot* const slot = px.slot != kNone ? &slots_[px.slot] : nullptr;
        std::array<Kept, kNearest> ordered;
        uint32_t n = 0;
        if (slot) {
            n = slot->count;
            std::copy_n(slot->kept.begin(), n, ordered.begin());
        } else {
            for (uint32_t i = px.head; i != kNone; i = listed_[i].next) ordered[n++] = {KeyOf(listed_[i].layer), i};
        }
        auto layerAt = [&](uint32_t index) -> const Layer& { return slot ? slot->layers[index] : listed_[index].layer; };
        Kept* const first = ordered.data();
        Kept* const end = first + n;
        SortByKey(first, end);
        const Kept* from = end;
        while (from != first && !layerAt(from[-1].index).edge) --from;
        if (from != first) --from; // the nearest edge, drawn over all behind it
        else if (slot && slot->pooled > 0) f(slot->Pool());
        for (const Kept* o = from; o != end; ++o) f(layerAt(o->index));
    }

private:
    static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

    // Farthest first; at one depth a surface lies behind an edge: an edge stays on the surface it
    // bounds. A positive depth's bits sort as its value does.
    static uint64_t KeyOf(const Layer& l) {
        return uint64_t{std::bit_cast<uint32_t>(l.z) & 0x7FFFFFFFu} << 33 | uint64_t{l.edge} << 32 | l.order;
    }

    // A kept layer's key and its place in the slot's layers.
    struct Kept {
        uint64_t key;
        uint32_t index;
    };

    // By insertion: a pixel keeps at most kNearest, and a library sort's set-up costs more than
    // sorting so few. Equal keys are the same edge met twice, so their order does not matter.
    static void SortByKey(Kept* first, Kept* end) {
        for (Kept* i = first + 1; i < end; ++i) {
            const Kept k = *i;
            Kept* j = i;
            for (; j != first && k.key < j[-1].key; --j) *j = j[-1];
            *j = k;
        }
    }

    // A colour byte's level, v / 255 as a division gives it: looked up, for the compiler divides
    // for every pooled layer when it need not branch.
    static constexpr std::array<float, 256> kByteLevels = [] {
        std::array<float, 256> levels{};
        for (uint32_t v = 0; v < 256; ++v) levels[v] = static_cast<float>(v) / 255.0f;
        return levels;
    }();

    // A cache line of its own for the counts, the pool and the farthest kept, which are all that
    // most layers added to a deep pixel read.
    struct alignas(64) Slot {
        uint32_t count = 0;
        uint32_t pooled = 0;
        // The pooled layers: their opacities' sum, colours weighted by opacity, and what they let through.
        float weight = 0, through = 1;
        Rgb sum;
        // Once all kNearest are taken, a heap whose root is the farthest kept.
        std::array<Kept, kNearest> kept;
        std::array<Layer, kNearest> layers;

        void Clear() {
            count = pooled = 0;
            weight = 0;
            through = 1;
            sum = {};
        }

        [[gnu::always_inline]] void Add(const Layer& layer) {
            const uint64_t key = KeyOf(layer);
            if (count < kNearest) {
                kept[count] = {key, count};
                layers[count++] = layer;
                if (count == kNearest)
                    std::make_heap(kept.begin(), kept.end(), [](const Kept& x, const Kept& y) { return x.key > y.key; });
                return;
            }
            if (key < kept[0].key) {
                Pool(layer);
                return;
            }
            const uint32_t index = kept[0].index;
            Pool(layers[index]);
            layers[index] = layer;
            SiftDown({key, index});
        }

        // Puts `k` in the root's place and lets it sink to where the heap keeps its order.
        void SiftDown(Kept k) {
            uint32_t at = 0;
            for (;;) {
                uint32_t child = 2 * at + 1;
                if (child >= kNearest) break;
                if (child + 1 < kNearest && kept[child + 1].key < kept[child].key) ++child;
                if (!(kept[child].key < k.key)) break;
                kept[at] = kept[child];
                at = child;
            }
            kept[at] = k;
        }

        void Pool(const Layer& l) {
            Rgb c = l.colour;
            float a = l.opacity;
            if (l.edge) c = {kByteLevels[l.pen >> 16 & 0xFF], kByteLevels[l.pen >> 8 & 0xFF], kByteLevels[l.pen & 0xFF]};
            ++pooled;
            weight += a;
            sum = {sum.r + c.r * a, sum.g + c.g * a, sum.b + c.b * a};
            through *= 1 - a;
        }

        // The pooled layers as one surface.
        Layer Pool() const {
            const float w = weight > 0 ? weight : 1;
            return {0, 0, false, 0, {sum.r / w, sum.g / w, sum.b / w}, 1 - through};
        }
    };

    struct PixelState {
        uint32_t count = 0;
        uint32_t head = kNone; // of its listed layers, the latest first
        uint32_t slot = kNone;
    };
    // Out of line, so that the common listing inlines where layers are made.
    void AddBeyondList(PixelState& px, const Layer& layer);
    struct Listed {
        Layer layer;
        uint32_t next;
    };

    std::vector<PixelState> pixels_; // of each pixel of the band
    size_t states_ = 0;              // pixels_.size(), kept where each layer added checks it
    std::vector<Listed> listed_;
    std::vector<Slot> slots_;
    uint32_t slotsUsed_ = 0;
    std::vector<uint32_t> used_;
};
