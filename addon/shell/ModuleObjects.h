#pragma once
// The add-on's module-wide objects, made in this order when the module loads: the settings,
// the element display, the schedule (which refers to both). Destroyed in reverse at unload.
#include "display/ElementHider.h"
#include "movie/AnimationSettings.h"
#include "schedule/TaskDB.h"

struct ModuleObjects {
    AnimationSettings settings;
    ElementHider elementHider;
    TaskDB taskDB{settings, &elementHider};
};

ModuleObjects& Module();
