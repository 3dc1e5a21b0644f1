#include "webpage/PageData.h"

#include "basekit/BKText.h"
#include "display/ProfileSet.h"
#include "schedule/tasks/TaskDB.h"
#include "webpage/LookTimeline.h"
#include "webpage/MinuteClock.h"

#include <map>
#include <tuple>
#include <unordered_map>

using nlohmann::json;

namespace {

constexpr const char* kTypeTexts[] = {"construction", "demolition", "renovation", "fixed", "temporary"};

json Rgb(const std::array<uint8_t, 3>& c) { return json::array({c[0], c[1], c[2]}); }

json MinuteOrNull(const DateTime& d) { return IsKnownMoment(d) ? json(MinuteOf(d)) : json(nullptr); }

std::array<uint8_t, 3> TypeColour(const PageDataInput& input, ConstructionType type) {
    return input.typeColours[IsKnownConstructionType(type) ? ConstructionTypeIndex(type) : 0];
}

// What a look shows, as the page reads it; the colour only where it has one.
json LookJson(const PageLook& p, const PageDataInput& input) {
    const ElementLook& l = p.look;
    json out;
    switch (l.kind) {
    case PhaseLook::Kind::Hide: out["show"] = "hidden"; break;
    case PhaseLook::Kind::Model: out["show"] = "model"; break;
    case PhaseLook::Kind::TypeLook:
        out["show"] = "work";
        out["color"] = Rgb(TypeColour(input, p.type));
        break;
    case PhaseLook::Kind::Colour:
        out["show"] = "colour";
        out["color"] = json::array({l.colour.red, l.colour.green, l.colour.blue});
        break;
    }
    out["transparency"] = l.transparency;
    out["grow"] = std::string(GrowDirectionText(l.grow));
    out["drawn"] = l.drawn;
    return out;
}

// The looks the timelines name, each once.
class LookTable {
public:
    explicit LookTable(const PageDataInput& input) : input_(input) {}
    size_t IndexOf(const PageLook& look) {
        json j = LookJson(look, input_);
        std::string key = j.dump();
        auto [it, added] = index_.try_emplace(std::move(key), looks_.size());
        if (added) looks_.push_back(std::move(j));
        return it->second;
    }
    json Looks() const { return looks_; }

private:
    const PageDataInput& input_;
    std::unordered_map<std::string, size_t> index_;
    json looks_ = json::array();
};

// The order tasks are keyed by in timelines' caches: elements with the same tasks and turns
// share one timeline.
std::string TasksKey(const ElementTasks& t) {
    std::string key;
    for (size_t i : t.indexes) key += std::to_string(i) + ",";
    key += "|";
    for (const auto& turn : t.turns)
        key += std::to_string(turn.taskId) + ":" + std::to_string(turn.place) + "/" + std::to_string(turn.count) + ",";
    return key;
}

std::array<uint8_t, 3> BarColour(const PhaseLook& during, const std::array<uint8_t, 3>& typeColour) {
    if (during.kind != PhaseLook::Kind::Colour) return typeColour;
    return {during.colour.red, during.colour.green, during.colour.blue};
}

} // namespace

std::vector<ScheduleView> PageViews(const TaskDB& db) {
    for (size_t i = 0; i < db.Tasks().size(); ++i)
        if (const TaskPlan* plan = db.PlanAt(i))
            if (IsKnownMoment(plan->actualStart) || IsKnownMoment(plan->actualFinish) ||
                plan->percentComplete != TaskPlan::kNoPercent)
                return {ScheduleView::Planned, ScheduleView::Actual, ScheduleView::Compare};
    return {ScheduleView::Planned};
}

json MakePageData(const TaskDB& db, const ProfileSet& profiles, const PageModel& model, const PageDataInput& input,
                  const std::function<bool(size_t, size_t)>& step) {
    json page;
    page["format"] = "bauvista-page";
    page["version"] = 1;
    page["title"] = input.title;
    page["written"] = MinuteText(input.writtenMinute);
    const std::vector<Task>& tasks = db.Tasks();
    const int64_t date = MinuteOf(db.CurrentDate());
    page["from"] = tasks.empty() ? date : MinuteOf(db.EarliestStart());
    page["to"] = tasks.empty() ? date : MinuteOf(db.LatestFinish());
    page["date"] = date;
    const std::vector<ScheduleView> views = PageViews(db);
    json viewNames = json::array();
    for (ScheduleView v : views) viewNames.push_back(std::string(ScheduleViewText(v)));
    page["views"] = viewNames;
    page["view"] = std::string(ScheduleViewText(
        std::find(views.begin(), views.end(), db.View()) != views.end() ? db.View() : ScheduleView::Planned));
    page["statusDate"] = MinuteOrNull(db.StatusDate());

    // Elements, their facts by key index, the tasks that link them.
    std::map<std::string, size_t> keyIndex;
    json factKeys = json::array();
    json elements = json::array();
    std::vector<std::vector<size_t>> taskElements(tasks.size());
    for (size_t i = 0; i < model.elements.size(); ++i) {
        const PageElement& e = model.elements[i];
        json facts = json::array();
        for (const auto& [key, value] : e.facts) {
            auto [it, added] = keyIndex.try_emplace(key, factKeys.size());
            if (added) factKeys.push_back(key);
            facts.push_back(json::array({it->second, value}));
        }
        json linked = json::array();
        for (size_t t : e.tasks.indexes) {
            linked.push_back(t);
            taskElements[t].push_back(i);
        }
        elements.push_back({{"id", e.id}, {"color", Rgb(e.colour)}, {"transparency", e.transparency},
                            {"facts", std::move(facts)}, {"tasks", std::move(linked)}});
    }
    page["factKeys"] = std::move(factKeys);
    page["elements"] = std::move(elements);

    // Tasks in outline order, dependencies by the planner's unique ids.
    std::unordered_map<int32_t, size_t> byUid;
    for (size_t i = 0; i < tasks.size(); ++i)
        if (const TaskPlan* plan = db.PlanAt(i); plan && plan->uid != 0) byUid.try_emplace(plan->uid, i);
    json taskList = json::array();
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        const TaskPlan* plan = db.PlanAt(i);
        const AppearanceProfile& profile = profiles.ProfileFor(t);
        json predecessors = json::array();
        if (plan)
            for (const Dependency& d : plan->predecessors)
                if (auto it = byUid.find(d.predecessorUid); it != byUid.end()) predecessors.push_back(it->second);
        const bool known = IsKnownConstructionType(t.type);
        taskList.push_back({{"id", t.id},
                            {"name", BKToUtf8(t.Name())},
                            {"level", plan && plan->outlineLevel > 0 ? plan->outlineLevel : 1},
                            {"type", kTypeTexts[known ? ConstructionTypeIndex(t.type) : 0]},
                            {"profile", BKToUtf8(profile.name)},
                            {"color", Rgb(BarColour(profile.during, TypeColour(input, t.type)))},
                            {"start", MinuteOrNull(t.start)},
                            {"finish", MinuteOrNull(t.finish)},
                            {"actualStart", plan ? MinuteOrNull(plan->actualStart) : json(nullptr)},
                            {"actualFinish", plan ? MinuteOrNull(plan->actualFinish) : json(nullptr)},
                            {"percent", plan && plan->percentComplete != TaskPlan::kNoPercent ? json(plan->percentComplete)
                                                                                               : json(nullptr)},
                            {"elements", taskElements[i]},
                            {"predecessors", std::move(predecessors)}});
    }
    page["tasks"] = std::move(taskList);

    // The legend as the movie's: each profile the tasks take, in its colour while the work runs.
    json legend = json::array();
    std::vector<std::string> shown;
    for (size_t i = 0; i < tasks.size(); ++i) {
        if (db.IsMarkerAt(i)) continue;
        const AppearanceProfile& p = profiles.ProfileFor(tasks[i]);
        if (std::find(shown.begin(), shown.end(), p.name) != shown.end()) continue;
        shown.push_back(p.name);
        legend.push_back({{"label", BKToUtf8(p.name)},
                          {"color", Rgb(BarColour(p.during, TypeColour(input, tasks[i].type)))},
                          {"transparency", p.during.transparency}});
    }
    page["legend"] = std::move(legend);

    LookTable looks(input);
    PageLook hidden;
    hidden.look.kind = PhaseLook::Kind::Hide;
    json timelines = json::object();
    const size_t total = model.elements.size() * views.size();
    size_t done = 0;
    for (ScheduleView view : views) {
        ViewLookClock clock(db, profiles, view);
        std::unordered_map<std::string, json> cache;
        json lines = json::array();
        for (const PageElement& e : model.elements) {
            if (e.onHiddenLayer) {
                lines.push_back(json::array({json::array({0, looks.IndexOf(hidden), -1})}));
            } else {
                const std::string key = TasksKey(e.tasks);
                auto it = cache.find(key);
                if (it == cache.end()) {
                    std::vector<int64_t> minutes;
                    clock.AddBreakMinutes(e.tasks, minutes);
                    const std::vector<TimelineStep> steps =
                        MakeTimeline(std::move(minutes), [&](int64_t m) { return clock.LookAt(e.tasks, m); });
                    json line = json::array();
                    for (const TimelineStep& s : steps)
                        line.push_back(json::array({s.minute, looks.IndexOf(s.look),
                                                    s.leadsOn ? json(looks.IndexOf(s.next)) : json(-1)}));
                    it = cache.emplace(key, std::move(line)).first;
                }
                lines.push_back(it->second);
            }
            if (step && !step(++done, total)) return {};
        }
        timelines[std::string(ScheduleViewText(view))] = std::move(lines);
    }
    page["looks"] = looks.Looks();
    page["timelines"] = std::move(timelines);
    return page;
}
