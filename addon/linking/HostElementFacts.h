#pragma once
// The elements' facts as the host gives them: kind, ID text and layer from the element's header,
// the links from its link record, and what its building model said of it.
#include "linking/ElementFacts.h"
#include "schedule/tasks/IElementDisplay.h"

class HostElementFacts final : public IElementFacts {
public:
    explicit HostElementFacts(const IElementDisplay& display) : display_(display) {}
    std::vector<ElementFacts> CollectElements() override;

private:
    const IElementDisplay& display_;
};
