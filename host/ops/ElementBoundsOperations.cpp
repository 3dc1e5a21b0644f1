// Where an element's body lies, for add-ons that reason about the building's shape.
#include "host/ops/HostOperationAreas.h"

#include "host/ops/OperationCall.h"

#include <algorithm>
#include <cmath>

using namespace hostops;

namespace hostops {

GSErr OpElementGetBounds(uint32_t token, const uint8_t* head, double* box) {
    Call c(token);
    if (!c || !head || !box) return kHostErrBadParameter;
    const Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    const Geometry& g = e->geometry;
    std::array<double, 3> lo{}, hi{};
    if (g.shape == Geometry::Shape::Box) {
        lo = g.min;
        hi = g.max;
    } else if (g.shape == Geometry::Shape::Mesh && !g.vertices.empty()) {
        lo = hi = g.vertices.front();
        for (const auto& v : g.vertices)
            for (size_t k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], v[k]);
                hi[k] = std::max(hi[k], v[k]);
            }
    } else {
        return kHostErrNotAvailable;
    }
    for (size_t k = 0; k < 3; ++k)
        if (!std::isfinite(lo[k]) || !std::isfinite(hi[k])) return kHostErrNotAvailable;
    std::copy(lo.begin(), lo.end(), box);
    std::copy(hi.begin(), hi.end(), box + 3);
    return kHostNoError;
}

} // namespace hostops
