#include "linking/HostElementFacts.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/ElementFactsRead.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "schedule/tasks/Exceptions.h"

#include <array>
#include <map>

namespace {

// Layer names by index, each asked of the host once.
class LayerNames {
public:
    const std::string& Of(int16_t index) {
        auto [it, added] = names_.try_emplace(index);
        if (added) {
            std::vector<uint8_t> rec(HostAttribute::kRecordSize, 0);
            LE::Put<int32_t>(rec, HostAttribute::kKind, HostAttribute::Layer);
            LE::Put<int16_t>(rec, HostAttribute::kIndex, index);
            if (HostAttributeGet(rec.data()) == kHostNoError)
                it->second = std::string(LE::GetText(rec, HostAttribute::kName, HostAttribute::kNameSize));
        }
        return it->second;
    }

private:
    std::map<int16_t, std::string> names_;
};

} // namespace

std::vector<ElementFacts> HostElementFacts::CollectElements() {
    std::vector<ElementFacts> out;
    LayerNames layers;
    std::array<uint8_t, HostElement::kHeaderSize> header{};
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!IElementDisplay::IsDisplayableKind(kind)) continue;
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            header.fill(0);
            LE::Put<int32_t>(header, HostElement::kKind, kind);
            guid.ToBytes(header.data() + HostElement::kGuid);
            if (HostElementGetHeader(header.data()) != kHostNoError) continue;
            ElementFacts& e = out.emplace_back();
            e.kind = kind;
            e.guid = guid;
            e.idText = std::string(LE::GetText(header, HostElement::kIdText, HostElement::kIdTextSize));
            try {
                display_.ReadElementLink(kind, guid, e.link);
            } catch (const EElementHider&) {
                e.link = ElementLinkRecord();
            }
            // While the display keeps it on its hidden layer, the layer the element belongs to is
            // the one it saved.
            int16_t layer = e.link.SavedLayer() != 0 ? e.link.SavedLayer() : LE::Get<int16_t>(header, HostElement::kLayer);
            e.layer = layers.Of(layer);
            e.facts = ReadElementFacts(header.data(), 0);
        }
    }
    return out;
}
