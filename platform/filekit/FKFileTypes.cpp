#include "filekit/FKFileTypes.h"

#include "filekit/FKError.h"

const FKFileTypeRegistry::Group* FKFileTypeRegistry::Find(int32_t groupId) const {
    for (const auto& g : groups_)
        if (g.id == groupId) return &g;
    return nullptr;
}

int32_t FKFileTypeRegistry::AddGroup(int32_t parent, int32_t groupId, const std::string& name) {
    if (groupId == kRootGroup || Find(groupId) != nullptr || name.empty()) return kFKParamErr;
    if (parent != kRootGroup && Find(parent) == nullptr) return kFKParamErr;
    groups_.push_back({groupId, parent, name, {}});
    return kFKNoErr;
}

int32_t FKFileTypeRegistry::AddType(int32_t groupId, const FKFileType& type) {
    if (type.name.empty() || type.extension.empty() || type.creator.size() != 4 || type.typeCode.size() != 4)
        return kFKParamErr;
    for (auto& g : groups_) {
        if (g.id == groupId) {
            g.types.push_back(type);
            return kFKNoErr;
        }
    }
    return kFKParamErr;
}

void FKFileTypeRegistry::Collect(int32_t groupId, std::vector<FKFileType>& out) const {
    const Group* group = Find(groupId);
    if (group == nullptr) return;
    out.insert(out.end(), group->types.begin(), group->types.end());
    // Parents are always added before their children, so this walk cannot loop.
    for (const auto& g : groups_)
        if (g.parent == groupId) Collect(g.id, out);
}

std::vector<FKFileType> FKFileTypeRegistry::TypesOf(int32_t groupId) const {
    std::vector<FKFileType> out;
    Collect(groupId, out);
    return out;
}

FKFileFilter FKFileTypeRegistry::FilterOf(int32_t groupId) const {
    FKFileFilter filter;
    for (const auto& type : TypesOf(groupId)) {
        if (!filter.name.empty()) filter.name += "; ";
        filter.name += type.name;
        filter.extensions.push_back(type.extension);
    }
    return filter;
}
