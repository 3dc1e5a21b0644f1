#pragma once
// How an element linked to a task looks before the task starts, while it runs and after it
// finishes: hidden, its own look, its type's pen and material, or a colour with a transparency;
// while it runs it may fade and grow along a direction.
#include "schedule/tasks/ConstructionType.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ProfileColour {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const ProfileColour&) const = default;
};

struct PhaseLook {
    // TypeLook is the pen and material of the governing task's construction type.
    enum class Kind : uint8_t { Hide, Model, TypeLook, Colour };
    Kind kind = Kind::Model;
    ProfileColour colour;
    // Percent, 0 opaque. A fade goes from the first to the second with the task's progress;
    // without one both are the same.
    uint8_t transparency = 0;
    uint8_t transparencyAtFinish = 0;

    static PhaseLook Hidden() { return {Kind::Hide, {}, 0, 0}; }
    static PhaseLook Own() { return {Kind::Model, {}, 0, 0}; }
    static PhaseLook OfType() { return {Kind::TypeLook, {}, 0, 0}; }
    static PhaseLook Coloured(ProfileColour c, uint8_t t, std::optional<uint8_t> atFinish = std::nullopt) {
        return {Kind::Colour, c, t, atFinish.value_or(t)};
    }
    bool Fades() const { return kind == Kind::Colour && transparency != transparencyAtFinish; }
    bool operator==(const PhaseLook&) const = default;
};

// The plane a growing element is drawn up to moves along this axis with the task's progress. In
// the host's order of clip axes.
enum class GrowDirection : uint8_t { None, PlusZ, MinusZ, PlusX, MinusX, PlusY, MinusY };

// "none", "+z", "-z", "+x", "-x", "+y", "-y".
std::string_view GrowDirectionText(GrowDirection d);
std::optional<GrowDirection> GrowDirectionFromText(std::string_view text);

struct AppearanceProfile {
    static constexpr size_t kNameMax = 255; // bytes, 8-bit like task names

    std::string name;
    PhaseLook before, during, after;
    GrowDirection grow = GrowDirection::None;
    // The task's elements appear one after another along the direction rather than each growing.
    bool stagger = false;
    // For the planned-against-actual view: work that runs ahead of or behind its plan.
    PhaseLook early = PhaseLook::Coloured({0, 0, 255}, 0);
    PhaseLook late = PhaseLook::Coloured({255, 0, 0}, 0);

    // Its elements grow one after another while the work runs.
    bool Staggers() const { return stagger && grow != GrowDirection::None && during.kind != PhaseLook::Kind::Hide; }

    // The looks alone, name aside.
    bool SameLooks(const AppearanceProfile& o) const {
        return before == o.before && during == o.during && after == o.after && grow == o.grow &&
               stagger == o.stagger && early == o.early && late == o.late;
    }
    bool operator==(const AppearanceProfile&) const = default;
};

// The display every element of a known type had before profiles: construction hidden, the type's,
// own; demolition own, the type's, hidden; renovation and fixed own, the type's, own; temporary
// hidden, the type's, hidden. Named after the type.
AppearanceProfile DefaultProfile(ConstructionType type);
