#pragma once
// What lies at each pixel of a band of rows over the opaque picture: see-through surfaces, and the
// edges among them. Each pixel's list is kept from the farthest to the nearest, ties broken by a
// fixed order, so the layers blend the same way whatever the thread or the band.
#include "host/render/Scene.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

class PixelLayers {
public:
    struct Layer {
        float z;         // 1/depth: smaller is farther
        uint32_t order;  // among layers at one depth, the larger is nearer
        bool edge;       // an edge drawn in `pen`, else a surface of `colour` and `opacity`
        uint32_t pen;
        Rgb colour;
        float opacity;
        uint32_t next;
    };

    // Every list of `pixels` pixels empty. Only the lists used last time are cleared: most of a
    // band seldom holds glass.
    void Reset(size_t pixels) {
        for (size_t p : used_) heads_[p] = veils_[p] = kEnd;
        used_.clear();
        layers_.clear();
        if (heads_.size() < pixels) heads_.resize(pixels, kEnd), veils_.resize(pixels, kEnd);
    }

    bool Any(size_t pixel) const { return heads_[pixel] != kEnd || veils_[pixel] != kEnd; }

    // A veil: of all the veils at a pixel only the nearest is kept, so a see-through look over
    // many bodies is seen through once, however many of them stand behind each other.
    void AddVeil(size_t pixel, Layer layer) {
        uint32_t& veil = veils_[pixel];
        if (veil != kEnd) {
            if (Before(layers_[veil], layer)) layers_[veil] = layer;
            return;
        }
        if (layers_.size() >= kEnd) throw std::length_error("too many see-through layers");
        if (heads_[pixel] == kEnd) used_.push_back(pixel);
        veil = static_cast<uint32_t>(layers_.size());
        layers_.push_back(layer);
    }

    // Whether the pixel holds a veil and nothing else, and `layer` lies behind it: then drawing
    // the layer straight into the picture under the veil blends the same.
    bool BehindVeilAlone(size_t pixel, const Layer& layer) const {
        return heads_[pixel] == kEnd && veils_[pixel] != kEnd && Before(layer, layers_[veils_[pixel]]);
    }

    // Layers come in any order and are put in order only when read: a pixel behind many
    // see-through surfaces costs a sort, not a walk of its list for every one.
    void Add(size_t pixel, Layer layer) {
        if (layers_.size() >= kEnd) throw std::length_error("too many see-through layers");
        uint32_t& head = heads_[pixel];
        if (head == kEnd && veils_[pixel] == kEnd) used_.push_back(pixel);
        layer.next = head;
        head = static_cast<uint32_t>(layers_.size());
        layers_.push_back(layer);
    }

    // The pixels that have layers, in no particular order.
    const std::vector<size_t>& Pixels() const { return used_; }

    // Calls f(layer) for the pixel's layers from the farthest. Layers no order tells apart keep
    // the latest added first.
    template <typename F> void ForEach(size_t pixel, F&& f) const {
        thread_local std::vector<const Layer*> ordered;
        ordered.clear();
        for (uint32_t i = heads_[pixel]; i != kEnd; i = layers_[i].next) ordered.push_back(&layers_[i]);
        if (veils_[pixel] != kEnd) ordered.push_back(&layers_[veils_[pixel]]);
        std::stable_sort(ordered.begin(), ordered.end(), [](const Layer* a, const Layer* b) { return Before(*a, *b); });
        for (const Layer* l : ordered) f(*l);
    }

private:
    static constexpr uint32_t kEnd = std::numeric_limits<uint32_t>::max();

    // At one depth a surface lies behind an edge: an edge stays on the surface it bounds.
    static bool Before(const Layer& a, const Layer& b) {
        if (a.z != b.z) return a.z < b.z;
        if (a.edge != b.edge) return b.edge;
        return a.order < b.order;
    }

    std::vector<uint32_t> heads_;
    std::vector<uint32_t> veils_; // of each pixel, its one veil's layer
    std::vector<Layer> layers_;
    std::vector<size_t> used_;
};
