#include "display/ProfileLook.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;

} // namespace

TaskPhase PhaseOf(const Task& task, const DateTime& at) {
    if ((at - task.start).TotalSeconds() <= 0) return TaskPhase::Before;
    return task.inProgress ? TaskPhase::During : TaskPhase::After;
}

double ProgressInMinutes(const Task& task, const DateTime& at) {
    const int64_t length = (task.finish - task.start).ticks / kTicksPerMinute;
    const int64_t elapsed = (at - task.start).ticks / kTicksPerMinute;
    if (length <= 0) return elapsed > 0 ? 1.0 : 0.0;
    return std::clamp(static_cast<double>(elapsed) / static_cast<double>(length), 0.0, 1.0);
}

ElementLook LookAt(const AppearanceProfile& profile, const Task& task, const DateTime& at, std::optional<double> progress) {
    const TaskPhase phase = PhaseOf(task, at);
    const PhaseLook& look = phase == TaskPhase::Before ? profile.before
                            : phase == TaskPhase::During ? profile.during
                                                         : profile.after;
    ElementLook out;
    out.kind = look.kind;
    out.colour = look.colour;
    out.transparency = look.transparency;
    if (phase != TaskPhase::During) return out;
    const double p = progress ? std::clamp(*progress, 0.0, 1.0) : ProgressInMinutes(task, at);
    if (look.Fades())
        out.transparency = static_cast<uint8_t>(std::lround(look.transparency + (look.transparencyAtFinish - look.transparency) * p));
    if (profile.grow != GrowDirection::None && look.kind != PhaseLook::Kind::Hide) {
        out.grow = profile.grow;
        out.stagger = profile.stagger;
        out.shrinks = task.type == ConstructionType::Demolition;
        out.drawn = out.shrinks ? 1.0 - p : p;
    }
    return out;
}

ElementLook StandingLook(const AppearanceProfile& profile, const ElementLook& usual, PlanStanding standing) {
    if (standing == PlanStanding::OnPlan) return usual;
    const PhaseLook& look = standing == PlanStanding::Early ? profile.early : profile.late;
    ElementLook out = usual;
    out.kind = look.kind;
    out.colour = look.colour;
    out.transparency = look.transparency;
    if (look.kind == PhaseLook::Kind::Hide) {
        out.grow = GrowDirection::None;
        out.drawn = 1.0;
        out.shrinks = out.stagger = false;
    }
    return out;
}

ElementLook LookInView(const AppearanceProfile& profile, const Task& viewTask, const DateTime& at,
                       std::optional<double> progress, std::optional<PlanStanding> standing) {
    const ElementLook look = LookAt(profile, viewTask, at, progress);
    return standing ? StandingLook(profile, look, *standing) : look;
}

double StaggeredDrawn(double drawn, size_t count, size_t place) {
    return std::clamp(drawn * static_cast<double>(count) - static_cast<double>(place), 0.0, 1.0);
}

double StaggerKey(GrowDirection grow, const std::array<double, 6>& box) {
    const size_t axis = grow <= GrowDirection::MinusZ ? 2 : grow <= GrowDirection::MinusX ? 0 : 1;
    const bool plus = grow == GrowDirection::PlusZ || grow == GrowDirection::PlusX || grow == GrowDirection::PlusY;
    return plus ? box[axis] : -box[axis + 3];
}
