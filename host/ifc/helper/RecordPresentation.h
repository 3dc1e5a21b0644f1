#pragma once
// A body's surface colour and presentation layer, and a material's colour, read from the file's
// own records the same as the library's entities give them (ProductFacts.h, ProductMaterials.h):
// styled items and layer assignments counted in the order of their numbers, as the library finds
// its inverse attributes. What leads to a record in a form not read here gives nothing, and the
// product takes the library's.
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RecordPresentation {
public:
    // `types`, the file's record names, held for as long as this.
    RecordPresentation(std::string_view text, const StepScan& scan, const RecordTypes& types);

    // Of the body representations by their numbers; an empty optional inside when none.
    std::optional<std::optional<SurfaceColour>> ColourOf(const std::vector<int>& bodies) const;
    std::optional<std::string> LayerOf(const std::vector<int>& bodies) const;
    // Of the materials by their places (RecordFacts::MaterialsOf), the first one drawn with a colour.
    std::optional<std::optional<SurfaceColour>> MaterialColourOf(const std::vector<uint32_t>& materials) const;

private:
    using Colour = std::optional<std::optional<SurfaceColour>>;
    struct Pointer {
        uint32_t at;     // the record pointed at
        uint32_t from;   // the styled item, the layer assignment or the material's representation
    };

    std::vector<std::string_view> Attributes(uint32_t position) const;
    std::string Type(uint32_t position) const;
    std::optional<uint32_t> Place(std::string_view reference) const;
    // What points at `at` among `pointers`, in the order of their numbers.
    static std::vector<uint32_t> PointingAt(const std::vector<Pointer>& pointers, uint32_t at);

    Colour ColourOfItems(uint32_t representation, int depth) const;
    Colour ColourOfItem(uint32_t item, int depth) const;
    Colour ColourOfStyledItem(uint32_t styled) const;
    Colour ColourOfSurfaceStyle(uint32_t style) const;
    std::optional<std::string> LayerOfRepresentation(uint32_t representation, int depth) const;
    std::optional<std::optional<std::string>> LayerNamed(uint32_t at) const;

    std::string_view text_;
    const StepScan& scan_;
    const RecordTypes& types_;
    bool whole_ = true;
    std::vector<Pointer> styled_, layers_, materials_; // each by the record pointed at
};
