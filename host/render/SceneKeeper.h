#pragma once
// A model's scene kept from one picture to the next. Each element's body is built once and kept
// while its shape stays (Element::shapeRevision); a picture takes afresh only which elements show
// and what their materials and pens look like, as a schedule's date moving through the building
// changes them. Draws exactly what BuildScene's scene draws.
#include "host/render/Scene.h"
#include "host/render/SceneBodies.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class SceneKeeper {
public:
    // The scene of the model as it is now; valid until the next call or the model changes.
    const Scene& Update(HostModel& model, const std::function<bool(const Element&)>& shown = {},
                        SceneSide side = SceneSide::First);

    // How often the bodies were built again (for tests).
    uint64_t Builds() const { return builds_; }

private:
    // What tells a kept body from its element's geometry now: the model's shape revision, and
    // for geometry written in place without it, the box or the mesh lists' places and sizes.
    struct ShapeKey {
        uint64_t revision = 0;
        Geometry::Shape shape = Geometry::Shape::None;
        std::array<double, 3> min{}, max{};
        const void* vertices = nullptr;
        const void* triangles = nullptr;
        size_t vertexCount = 0, triangleCount = 0;
        int32_t kind = 0;
        bool operator==(const ShapeKey&) const = default;
    };
    static ShapeKey KeyOf(const Element& e);

    struct Kept {
        const Element* element = nullptr;
        ShapeKey shape;
        ScenePart part; // none when it has no body
        Vec3 min{0, 0, 0}, max{0, 0, 0}; // of its triangles alone, what the scene's bounds take
        ElementLooks looks;
    };
    bool Same(const HostModel& model) const;
    void Build(HostModel& model, SceneLooks& looks);
    void Paint(Kept& kept, const ElementLooks& looks);

    Scene scene_;
    std::vector<Kept> kept_;
    std::vector<SceneFace> faces_; // of each kept body's triangle
    size_t bodyTriangles_ = 0, bodyEdges_ = 0; // the kept bodies' share of the lists
    uint64_t builds_ = 0;
};
