#include "webpage/PageModel.h"

#include "basekit/BKText.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "display/ConstructionTypeDisplay.h"
#include "display/ElementHider.h"
#include "display/ProfileLook.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/ElementFactsRead.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>

namespace {

using Header = std::array<uint8_t, HostElement::kHeaderSize>;

double GetD(std::span<const uint8_t> r, size_t off) {
    const uint64_t bits = LE::Get<uint64_t>(r, off);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Components above 1 at full strength, broken numbers as black, as the host paints them.
uint8_t Channel(double v) {
    if (!std::isfinite(v) || v < 0) return 0;
    return static_cast<uint8_t>(std::lround(std::min(v, 1.0) * 255.0));
}

bool LayerHidden(int16_t layer) {
    std::vector<uint8_t> rec(HostAttribute::kRecordSize, 0);
    LE::Put<int32_t>(rec, HostAttribute::kKind, HostAttribute::Layer);
    LE::Put<int16_t>(rec, HostAttribute::kIndex, layer);
    return HostAttributeGet(rec.data()) == kHostNoError &&
           (LE::Get<uint32_t>(rec, HostAttribute::kFlags) & HostAttribute::kLayerHidden) != 0;
}

// Each staggering task's elements in the order they appear along its growth, as a pass orders
// them, whether or not the task is under way now.
std::unordered_map<int32_t, GuidMap<size_t>> StaggerTurns(const ElementHider& hider, const TaskDB& db,
                                                          const std::vector<std::pair<int32_t, API_Guid>>& linked,
                                                          std::unordered_map<int32_t, size_t>& counts) {
    std::unordered_map<int32_t, GrowDirection> staggered;
    for (const Task& t : db.Tasks()) {
        if (t.id <= 0) continue;
        const AppearanceProfile& p = hider.Profiles().ProfileFor(t);
        if (p.stagger && p.grow != GrowDirection::None && p.during.kind != PhaseLook::Kind::Hide) staggered[t.id] = p.grow;
    }
    std::unordered_map<int32_t, GuidMap<size_t>> turns;
    if (staggered.empty()) return turns;
    std::unordered_map<int32_t, std::vector<std::pair<double, API_Guid>>> found;
    Header head{};
    for (const auto& [kind, guid] : linked) {
        ElementLinkRecord link;
        try {
            hider.ReadElementLink(kind, guid, link);
        } catch (const EElementHider&) {
            continue;
        }
        std::optional<std::array<double, 6>> box;
        for (size_t k = 0; k < 10 && link.Slot(k) != 0; ++k) {
            auto it = staggered.find(link.Slot(k));
            if (it == staggered.end()) continue;
            if (!box) {
                head.fill(0);
                LE::Put<int32_t>(head, HostElement::kKind, kind);
                guid.ToBytes(head.data() + HostElement::kGuid);
                box.emplace();
                if (HostElementGetBounds(head.data(), box->data()) != kHostNoError) box->fill(0);
            }
            found[it->first].emplace_back(StaggerKey(it->second, *box), guid);
        }
    }
    for (auto& [id, elements] : found) {
        std::sort(elements.begin(), elements.end());
        counts[id] = elements.size();
        GuidMap<size_t>& places = turns[id];
        for (size_t i = 0; i < elements.size(); ++i) places[elements[i].second] = i;
    }
    return turns;
}

} // namespace

MaterialLook MaterialLookOf(int16_t material) {
    MaterialLook out;
    std::vector<uint8_t> rec(HostAttribute::kRecordSize, 0);
    LE::Put<int32_t>(rec, HostAttribute::kKind, HostAttribute::Material);
    LE::Put<int16_t>(rec, HostAttribute::kIndex, material);
    if (material <= 0 || HostAttributeGet(rec.data()) != kHostNoError) return out;
    for (size_t c = 0; c < 3; ++c) out.colour[c] = Channel(GetD(rec, HostAttribute::kMatSurfaceRed + 8 * c));
    out.transparency = static_cast<uint8_t>(std::clamp<int16_t>(LE::Get<int16_t>(rec, HostAttribute::kMatTransparency), 0, 100));
    return out;
}

bool ReadPageModel(const ElementHider& hider, const TaskDB& db, PageModel& out,
                   const std::function<bool(size_t, size_t)>& step) {
    uint32_t glbHandle = 0, guidHandle = 0;
    int32_t count = 0;
    if (GSErr err = HostModelGetGlb(&glbHandle, &guidHandle, &count); err != kHostNoError)
        throw EPageModel("the host gave no model: " + std::to_string(err));
    OwnedHandle glb(glbHandle), guids(guidHandle);
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    if (!glb || (n != 0 && (!guids || guids.Bytes().size() < 16 * n))) throw EPageModel("the host's model is cut short");
    out.glb.assign(glb.Bytes().begin(), glb.Bytes().end());

    // The kind of every element the display knows, for the host's calls by kind.
    GuidMap<int32_t> kinds;
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind)
        for (const API_Guid& guid : ListElementsOfKind(kind)) kinds[guid] = kind;
    std::vector<std::pair<int32_t, API_Guid>> order(n);
    std::vector<std::pair<int32_t, API_Guid>> linked;
    for (size_t i = 0; i < n; ++i) {
        const API_Guid guid = API_Guid::FromBytes(guids.Bytes().data() + 16 * i);
        const int32_t* kind = kinds.find(guid);
        order[i] = {kind ? *kind : 0, guid};
        if (kind && ElementHider::IsDisplayableKind(*kind)) linked.push_back(order[i]);
    }
    std::unordered_map<int32_t, size_t> turnCounts;
    const auto turns = StaggerTurns(hider, db, linked, turnCounts);

    std::map<int16_t, MaterialLook> materials;
    out.elements.assign(n, {});
    Header head{};
    std::vector<uint8_t> record(HostElement::kRecordSize, 0);
    for (size_t i = 0; i < n; ++i) {
        const auto& [kind, guid] = order[i];
        PageElement& e = out.elements[i];
        head.fill(0);
        LE::Put<int32_t>(head, HostElement::kKind, kind);
        guid.ToBytes(head.data() + HostElement::kGuid);
        if (kind == 0 || HostElementGetHeader(head.data()) != kHostNoError) continue;
        e.id = BKToUtf8(LE::GetText(head, HostElement::kIdText, HostElement::kIdTextSize));
        e.facts = ReadElementFacts(head.data(), kHostFactsUtf8);
        ElementLinkRecord link;
        bool hasLink = false;
        if (ElementHider::IsDisplayableKind(kind)) {
            try {
                hider.ReadElementLink(kind, guid, link);
                hasLink = true;
            } catch (const EElementHider&) {
            }
        }
        // While the display keeps the element on its own hidden layer, the element's is the one saved.
        const int16_t layer = link.SavedLayer() != 0 ? link.SavedLayer() : LE::Get<int16_t>(head, HostElement::kLayer);
        e.onHiddenLayer = LayerHidden(layer);
        std::fill(record.begin(), record.end(), 0);
        std::copy(head.begin(), head.end(), record.begin());
        if (HostElementGet(record.data()) == kHostNoError)
            if (std::optional<int16_t> material = TypeDisplay::OwnMaterial(record, link)) {
                auto [it, added] = materials.try_emplace(*material);
                if (added) it->second = MaterialLookOf(*material);
                e.colour = it->second.colour;
                e.transparency = it->second.transparency;
            }
        if (hasLink) {
            for (size_t k = 0; k < 10 && link.Slot(k) != 0; ++k) {
                const int32_t id = link.Slot(k);
                size_t index = 0;
                try {
                    index = db.IndexOfId(id);
                } catch (const ETaskNotFound&) {
                    continue; // a pass keeps such a link and looks at the next slot
                }
                if (db.IsMarkerAt(index)) continue;
                e.tasks.indexes.push_back(index);
                if (auto t = turns.find(id); t != turns.end())
                    if (const size_t* place = t->second.find(guid))
                        e.tasks.turns.push_back({id, *place, turnCounts[id]});
            }
        }
        if (step && !step(i + 1, n)) return false;
    }
    return true;
}
