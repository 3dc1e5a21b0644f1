#include "host/app/RevisionCheck.h"

#include "host/resources/HostResources.h"

namespace {

constexpr size_t kNamed = 10;

// A host text with its "%s" filled in order.
std::string Fill(std::string text, const std::vector<std::string>& values) {
    size_t at = 0;
    for (const std::string& v : values) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        text.replace(at, 2, v);
        at += v.size();
    }
    return text;
}

} // namespace

RevisionCheck CheckRevision(const HostModel& model, const IfcRevisionPlan& plan) {
    RevisionCheck check;
    check.total = model.Elements().size();
    check.removing = plan.gone.size();
    size_t bytes = 0;
    for (const auto& e : model.Elements()) {
        if (!plan.gone.count(e->Guid())) continue;
        bytes += UndoHistory::WholeBytes(*e);
        if (e->userData.empty()) continue;
        if (check.firstWithAddonData.size() < kNamed) check.firstWithAddonData.push_back(e->IdText());
        ++check.withAddonData;
    }
    // A kept element is kept whole before and after; a new one after.
    for (size_t i = 0; i < plan.plans.size(); ++i) {
        const Geometry& g = plan.plans[i].geometry;
        size_t now = HostElement::kRecordSize + g.vertices.size() * sizeof(Vec3) + g.triangles.size() * sizeof(g.triangles[0]);
        bytes += plan.matched[i] ? UndoHistory::WholeBytes(*plan.matched[i]) + now : now;
    }
    check.fitsUndo = bytes <= model.Undo().MaxBytes();
    check.ask = check.removing * 5 > check.total || check.withAddonData > 0;
    return check;
}

bool ConfirmRevision(const RevisionCheck& check, HostAlert alert) {
    std::string notes;
    if (check.withAddonData > 0) {
        std::string names;
        for (const std::string& id : check.firstWithAddonData) names += (names.empty() ? "" : ", ") + id;
        if (check.withAddonData > check.firstWithAddonData.size()) names += ", ...";
        notes += Fill(HostString(HostText::UpdateDropsAddonData), {std::to_string(check.withAddonData), names});
    }
    if (!check.fitsUndo) notes += HostString(HostText::UpdateClearsHistory);
    return ShowHostAlert(alert, std::to_string(check.removing), std::to_string(check.total), notes) == 1;
}
