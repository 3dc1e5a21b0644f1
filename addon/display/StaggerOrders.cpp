#include "display/StaggerOrders.h"

#include "bytes/LittleEndian.h"
#include "display/ProfileLook.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/IElementDisplay.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

std::unordered_map<int32_t, StaggerOrder> OrderStaggeredElements(const std::unordered_map<int32_t, GrowDirection>& staggered,
                                                                  const IElementDisplay& display,
                                                                  std::span<const std::pair<int32_t, API_Guid>> elements) {
    std::unordered_map<int32_t, StaggerOrder> orders;
    if (staggered.empty()) return orders;
    std::unordered_map<int32_t, std::vector<std::pair<double, API_Guid>>> found;
    std::array<uint8_t, HostElement::kHeaderSize> head{};
    for (const auto& [kind, guid] : elements) {
        ElementLinkRecord link;
        try {
            display.ReadElementLink(kind, guid, link);
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
    for (auto& [id, list] : found) {
        std::sort(list.begin(), list.end());
        StaggerOrder& order = orders[id];
        order.count = list.size();
        order.place.reserve(list.size());
        for (size_t i = 0; i < list.size(); ++i) order.place[list[i].second] = i;
    }
    return orders;
}
