#pragma once
// What an element shows at a moment, by its governing task and that task's profile.
#include "display/AppearanceProfile.h"
#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/Task.h"

#include <array>
#include <cstddef>
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

// The look of an element whose governing task, as the schedule's view has it at `at`, is
// `viewTask`: its progress where the view knows it apart from the dates, its standing against the
// plan in the comparison.
ElementLook LookInView(const AppearanceProfile& profile, const Task& viewTask, const DateTime& at,
                       std::optional<double> progress, std::optional<PlanStanding> standing);

// A staggering task's share drawn, spread over its `count` elements in turn: the one at `place`
// grows in its own stretch of the task (a shrinking task takes the last first).
double StaggeredDrawn(double drawn, size_t count, size_t place);
// Where an element begins along a growth, by its box (minimum x, y, z, maximum x, y, z): its
// lowest point along a plus axis, its highest along a minus one, negated, so the first to appear
// sorts first.
double StaggerKey(GrowDirection grow, const std::array<double, 6>& box);

// The usual look of work ahead of its plan or behind it, in the profile's early or late look: its
// colour over the element, growth kept unless the look hides the element.
ElementLook StandingLook(const AppearanceProfile& profile, const ElementLook& usual, PlanStanding standing);
