// The copy a save on another thread works from: the caller's thread pays only for copying.
#include "host/model/HostModel.h"

std::unique_ptr<HostModel> HostModel::SnapshotForSaving() const {
    auto copy = std::make_unique<HostModel>();
    copy->attributes_ = attributes_;
    copy->attributeExtras_ = attributeExtras_;
    copy->projectData_ = projectData_;
    // Interned in the same order, every text keeps its number, so the facts copy as they are.
    for (size_t i = 0; i < facts_.Count(); ++i) copy->facts_.Intern(facts_.Text(static_cast<uint32_t>(i)));
    copy->Reserve(elements_.size());
    for (const auto& e : elements_) {
        copy->elements_.push_back(std::make_unique<Element>(*e));
        Element* c = copy->elements_.back().get();
        copy->byGuid_[c->Guid()] = c;
        copy->IndexElement(c);
    }
    copy->guidCounter_ = guidCounter_;
    copy->view = view;
    copy->windows = windows;
    copy->unknownKeys = unknownKeys;
    copy->layersByStorey = layersByStorey;
    copy->workSchedules = workSchedules;
    copy->ifcModels = ifcModels;
    copy->untracked_ = Modified();
    return copy;
}
