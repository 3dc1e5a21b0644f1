#pragma once
// Openings cut from an element's body as the library's own opening cut does it: each closed mesh
// set of each of the element's items in turn, less every closed mesh set of every item of every
// representation of every opening, the openings in the order of their relations, each opening's
// items moved into the element's coordinates for the cuts of one mesh set and back after them.
// The Boolean operations go by addresses: run it on the conversion heap.
#include <ifcpp/geometry/Carve/GeometryInputData.h>

#include <memory>
#include <vector>

class StatusCallback;

using ItemSets = std::vector<std::shared_ptr<ItemShapeData>>;

struct OpeningBody {
    carve::math::Matrix placement;       // in the world
    std::vector<ItemSets> representations; // every one of the opening's, not only its body
};

// The matrix that takes the world into the element's coordinates for its cut: the inverse of its
// `placement`, or the identity where the library finds none (`tolerance` as below). An opening is
// moved by this times its own placement, the bits a cut and a mesh kept for reuse both go by.
carve::math::Matrix InverseForCut(const carve::math::Matrix& placement, double tolerance);

// `placement` is the element's in the world; `tolerance` the least determinant of a placement
// the library inverts (0.01 over its custom length factor). What the library says of a cut is
// said to `said`; what its Boolean operation throws is thrown (the library says it, and the
// element is the library's to make).
void CutOpenings(ItemSets& items, const carve::math::Matrix& placement, std::vector<OpeningBody>& openings, StatusCallback& said,
                 double tolerance);
