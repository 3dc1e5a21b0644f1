#pragma once
// How an element becomes triangles and edges of a scene: the looks its materials and pen give its
// surfaces and edges, and the body its geometry gives. Built scenes and kept ones share it, so
// both hold the same values.
#include "host/model/LookOverride.h"
#include "host/render/Scene.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct SurfaceLook {
    Rgb colour;
    float opacity = 1;
    float specular = 0.3f;
    bool operator==(const SurfaceLook&) const = default;
};

// Which of an element's materials covers a face.
enum class SceneFace : uint8_t { Top, Bottom, SideLow, SideHigh, End };
inline constexpr size_t kSceneFaces = 5;

// The model's materials and pens as the renderer paints them, each read once.
class SceneLooks {
public:
    explicit SceneLooks(HostModel& model) : model_(model) {}
    SurfaceLook Material(int16_t index);
    Rgb Pen(int16_t index);

private:
    HostModel& model_;
    std::map<int16_t, SurfaceLook> materials_;
    std::map<int16_t, Rgb> pens_;
};

// What an element's faces and edges look like now.
struct ElementLooks {
    std::array<SurfaceLook, kSceneFaces> faces;
    Rgb pen;
    bool operator==(const ElementLooks&) const = default;
};

// The material of each face, as the element's record gives them (0: none).
std::array<int16_t, kSceneFaces> FaceMaterials(const Element& element);
ElementLooks LooksOf(const Element& element, SceneLooks& looks, SceneSide side = SceneSide::First);
// The look laid over the element on a side.
const std::optional<LookOverride>& LookOn(const Element& element, SceneSide side);

// Which layers are hidden, each read once.
class SceneLayers {
public:
    explicit SceneLayers(HostModel& model) : model_(model) {}
    bool Hidden(int16_t layer);

private:
    HostModel& model_;
    std::map<int16_t, bool> hidden_;
};

// Whether the element is left out on a side: the second window draws or hides an element with a
// second look as that says, whatever its layer.
bool HiddenOn(const Element& element, SceneLayers& layers, SceneSide side);

// Room for the triangles of every body of the model.
size_t MostTriangles(const HostModel& model);

// Whether the element has a body the scene draws.
bool HasSceneBody(const Element& element);

// Appends the element's triangles (growing the scene's bounds) and edges to the scene's lists,
// and the face of each triangle to `faces` when given.
void AppendBody(Scene& scene, const Element& element, const ElementLooks& looks, std::vector<SceneFace>* faces = nullptr);

// Sets the part's bounds from the points of its triangles and edges.
void BoundPart(const Scene& scene, ScenePart& part);
