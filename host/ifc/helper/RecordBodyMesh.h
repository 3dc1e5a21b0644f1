#pragma once
// The commonest bodies of real files made from the file's own records, without the library's
// entities: extruded area solids of rectangles, circles and closed curves (polylines, and
// composite curves of polylines and trimmed circles and ellipses; with voids or without),
// faceted breps, face- and shell-based surface models, triangulated and polygonal face sets,
// solids less half spaces or other such solids, and mapped items of these, placed by local
// placements; and extruded, clipped and faceted bodies with openings of those forms cut from
// them. Each is made as the library makes it, its sweeper given the same profiles and faces, so
// a product's mesh is the library's up to the order of its triangles. A body with anything else
// is the library's to make.
#include "host/ifc/helper/ProductMesh.h"
#include "host/ifc/helper/ReusedItems.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class RepresentationConverter;

// Openings cut from a body in turns, each by their places in the file.
using OpeningCuts = std::vector<std::vector<uint32_t>>;

class RecordBodyMesh {
public:
    // `converter` gives the sweeper and the settings the library's own conversion takes;
    // `metres` is the file's length unit in metres, `radians` its plane angle unit in radians
    // (nothing when it names none).
    RecordBodyMesh(std::string_view text, const StepScan& scan, RepresentationConverter& converter, double metres,
                   std::optional<double> radians = std::nullopt)
        : text_(text), scan_(scan), converter_(converter), metres_(metres), radians_(radians) {}

    // The mesh of the product at `position`, whose body is the shape representations numbered
    // `bodies`; nothing when a form of it is not made here, or nothing usable was made.
    // `items`, when given, gets the numbers of the geometric items made (not the mapped items).
    // `cuts`, for an element with openings or a part of one, are the openings cut from the body
    // as the library cuts them: its own, then those of the element it is a part of, each by
    // their places in the file in the order of their relations' numbers. `reuse`, when given,
    // has items and cut bodies that say what one made before said taken from it, and offered
    // the others (ReusedItems.h).
    std::optional<ProductMesh> Mesh(uint32_t position, const std::vector<int>& bodies, std::vector<int>* items = nullptr,
                                    const OpeningCuts* cuts = nullptr, ReusedItems::Turn* reuse = nullptr) const;

private:
    std::string_view text_;
    const StepScan& scan_;
    RepresentationConverter& converter_;
    double metres_;
    std::optional<double> radians_;
};

// The body representations of the product whose representation is the record `shape` (an
// IfcProductDefinitionShape), chosen as BodyRepresentations chooses them; empty when none, or
// when the record is not one.
std::vector<int> BodyRepresentationsOf(std::string_view text, const StepScan& scan, int shape);
