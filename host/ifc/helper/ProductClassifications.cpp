#include "host/ifc/helper/ProductClassifications.h"

#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcClassification.h>
#include <ifcpp/IFC4/include/IfcClassificationReference.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRelAssociatesClassification.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>

#include <algorithm>

namespace {

// References can refer to references; a file that loops is not followed far.
constexpr int kMaxDepth = 16;

template <typename T>
std::string Text(const shared_ptr<T>& value) {
    return value ? Utf8FromWide(value->m_value) : std::string();
}

std::string Joined(const std::string& a, const std::string& b, const char* between) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + between + b;
}

std::string SystemOf(const shared_ptr<IfcClassificationReferenceSelect>& source, int depth) {
    if (depth > kMaxDepth) return {};
    if (auto system = dynamic_pointer_cast<IfcClassification>(source)) return Text(system->m_Name);
    if (auto parent = dynamic_pointer_cast<IfcClassificationReference>(source)) return SystemOf(parent->m_ReferencedSource, depth + 1);
    return {};
}

std::string TextOf(const shared_ptr<IfcClassificationSelect>& select) {
    if (auto system = dynamic_pointer_cast<IfcClassification>(select)) return Text(system->m_Name);
    auto reference = dynamic_pointer_cast<IfcClassificationReference>(select);
    if (!reference) return {};
    return Joined(SystemOf(reference->m_ReferencedSource, 0),
                  Joined(Text(reference->m_Identification), Text(reference->m_Name), " "), ": ");
}

void Collect(const IfcObjectDefinition& object, std::vector<std::string>& out) {
    for (const auto& weak : object.m_HasAssociations_inverse) {
        auto rel = dynamic_pointer_cast<IfcRelAssociatesClassification>(weak.lock());
        if (!rel) continue;
        std::string text = TextOf(rel->m_RelatingClassification);
        if (!text.empty() && std::find(out.begin(), out.end(), text) == out.end()) out.push_back(std::move(text));
    }
}

} // namespace

std::vector<std::string> ClassificationsOf(const IfcProduct& product) {
    std::vector<std::string> out;
    Collect(product, out);
    if (auto type = TypeObjectOf(product)) Collect(*type, out);
    return out;
}
