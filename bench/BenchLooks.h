#pragma once
// The appearance profiles the benchmarks with looks use: work to come a grey ghost (85 %
// transparent), work under way green and growing bottom up, temporary work fading.
// BV_NO_GHOST=1 or BV_NO_GROW=1 in the environment leave the ghost or the growth out.
#include "display/AppearanceProfile.h"
#include "display/ElementHider.h"
#include "display/ProfileSet.h"

#include <cstdlib>

inline void UseBenchLooks(ElementHider& hider) {
    ProfileSet& set = hider.Profiles();
    AppearanceProfile build = DefaultProfile(ConstructionType::Construction);
    build.name = "Szerkezet";
    if (!std::getenv("BV_NO_GHOST")) build.before = PhaseLook::Coloured({200, 200, 200}, 85);
    build.grow = std::getenv("BV_NO_GROW") ? GrowDirection::None : GrowDirection::PlusZ;
    build.during = PhaseLook::Coloured({0, 230, 0}, 0);
    AppearanceProfile scaffold = DefaultProfile(ConstructionType::Temporary);
    scaffold.name = "Állvány";
    scaffold.during = PhaseLook::Coloured({255, 255, 128}, 20, 80);
    set.Put(build);
    set.Put(scaffold);
    set.ChooseForType(ConstructionType::Construction, build.name);
    set.ChooseForType(ConstructionType::Temporary, scaffold.name);
}
