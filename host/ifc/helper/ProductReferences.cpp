#include "host/ifc/helper/ProductReferences.h"

#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/model/BuildingModel.h>

#include <cctype>

namespace {

// A record of the file the library made nothing of, though it was to.
bool Unmade(const StepScan& scan, const EntityOfRecord& entities, const std::vector<RecordUse>* use, int id) {
    const int64_t position = scan.Position(id);
    if (position < 0 || entities(static_cast<uint32_t>(position))) return false;
    return !use || use->empty() || (*use)[static_cast<size_t>(position)] != RecordUse::Unmade;
}

} // namespace

ProductReferences::ProductReferences(std::string_view text, const StepScan& scan, EntityOfRecord entities, const LibraryMessages& parse,
                                     const std::vector<RecordUse>* use)
    : text_(text), scan_(scan), entities_(std::move(entities)), parse_(parse), use_(use),
      unread_(scan, [this](int id) { return Unmade(scan_, entities_, use_, id); }) {}

void ProductReferences::RefuseMissingRecords() {
    // Its answers (one for every record) are of no use after this: held no longer.
    ReferenceSearch missing(scan_, [this](int id) { return !scan_.Defined(id); });
    for (uint32_t position = 0; position < scan_.ids.size(); ++position) {
        if (!scan_.MayBeProduct(position)) continue; // neither placement nor representation to follow
        const int id = scan_.ids[position];
        const auto* product = dynamic_cast<const IfcProduct*>(entities_(position));
        if (!product) continue;
        const auto refs = scan_.ProductReferences(position);
        for (size_t which = 0; which < refs.size(); ++which) {
            ReferenceSearch::Found found = missing.Through(id, refs[which]);
            if (!found) continue;
            std::string name = SingleLine(NameOf(*product));
            std::string message = "record #" + std::to_string(id) + " (" + IfcClassOf(*product);
            if (!name.empty()) message += " \"" + name + "\"";
            message += ", line " + std::to_string(StepLineAt(text_, scan_.Offset(position))) + "): its ";
            message += which == 0 ? "placement" : "representation";
            if (found.holder != id) message += " leads through #" + std::to_string(found.holder) + " to";
            else message += " refers to";
            throw EIfcFile(message + " #" + std::to_string(found.target) + ", which is not in the file");
        }
    }
}

std::string ProductReferences::Unread(const char* what, ReferenceSearch::Found found) const {
    int64_t position = scan_.Position(found.target);
    std::string type(position < 0 ? std::string_view() : StepTypeAt(text_, scan_.Offset(static_cast<uint32_t>(position))));
    std::string text = std::string("its ") + what + " uses #" + std::to_string(found.target);
    text += type.empty() ? "" : " (" + type + ")";
    std::string upper = type;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (parse_.UnknownTypes().count(upper)) return text + ", an entity the IFC library does not know";
    if (position >= 0) text += " on line " + std::to_string(StepLineAt(text_, scan_.Offset(static_cast<uint32_t>(position))));
    return text + ", which the IFC library could not read";
}

std::string ProductReferences::UnreadRecordUse(const IfcProduct& product,
                                               const std::vector<shared_ptr<IfcRepresentation>>& bodies) {
    std::vector<int> ids;
    for (const auto& body : bodies) ids.push_back(body->m_entity_id);
    return UnreadRecordUse(product.m_entity_id, ids);
}

std::string ProductReferences::UnreadRecordUse(int id, const std::vector<int>& bodies) {
    int64_t position = scan_.Position(id);
    if (position < 0) return {};
    const auto [placement, representation] = scan_.ProductReferences(static_cast<uint32_t>(position));
    // The representations themselves: one the library dropped may have been the body.
    if (representation >= 0 && scan_.Defined(representation)) {
        if (Unmade(scan_, entities_, use_, representation)) return Unread("representation", {id, representation});
        for (int ref : scan_.References(static_cast<uint32_t>(scan_.Position(representation))))
            if (Unmade(scan_, entities_, use_, ref)) return Unread("representation", {representation, ref});
    }
    if (bodies.empty()) return {};
    if (auto found = unread_.Through(id, placement)) return Unread("placement", found);
    for (int body : bodies)
        if (auto found = unread_.Below(body)) return Unread("body", found);
    return {};
}
