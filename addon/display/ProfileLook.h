#pragma once
// What an element shows at a moment, by its governing task and that task's profile.
#include "display/AppearanceProfile.h"
#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/Task.h"

#include <optional>

enum class TaskPhase : uint8_t { Before, During, After };

// Before its first whole second, during while in progress, after once started and no longer in
// progress, as the task's appearance counts them. The task's state must be the one at `at`.
TaskPhase PhaseOf(const Task& task, const DateTime& at);

// How far the task has come at `at`, 0 to 1, counted in whole minutes so that a movie or a drag
// through hours moves between days. A task of no length is done once begun.
double ProgressInMinutes(const Task& task, const DateTime& at);

struct ElementLook {
    PhaseLook::Kind kind = PhaseLook::Kind::Model;
    ProfileColour colour;
    uint8_t transparency = 0; // percent, at this moment
    GrowDirection grow = GrowDirection::None;
    // The share of the element drawn along `grow`, from the side it grows from (or, while it
    // shrinks, from the side that goes last).
    double drawn = 1.0;
    bool shrinks = false;
    bool stagger = false;

    bool operator==(const ElementLook&) const = default;
};

// The look of an element governed by `task` at `at`. A demolition shrinks: what growth would
// have drawn by then is taken away. `progress` (0-1), where given, is how far the task came
// rather than what its dates say.
ElementLook LookAt(const AppearanceProfile& profile, const Task& task, const DateTime& at,
                   std::optional<double> progress = std::nullopt);

// The usual look of work ahead of its plan or behind it, in the profile's early or late look: its
// colour over the element, growth kept unless the look hides the element.
ElementLook StandingLook(const AppearanceProfile& profile, const ElementLook& usual, PlanStanding standing);
