#pragma once
// What link rules and link files know of an element, and where the add-on learns it.
#include "hostapi/HostGuid.h"
#include "schedule/tasks/ElementLink.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ElementFacts {
    int32_t kind = 0;
    API_Guid guid;
    std::string idText; // 8-bit
    // The name of the element's own layer, also while the display keeps it on the hidden layer.
    std::string layer;
    // What its building model says it is, key and value as the host gives them (8-bit): class,
    // type, name, tag, description, globalid, storey, material (one a material), classification
    // and PSET.NAME; none for an element drawn in the host.
    std::vector<std::pair<std::string, std::string>> facts;
    ElementLinkRecord link; // all zero when it has none
};

class IElementFacts {
public:
    virtual ~IElementFacts() = default;
    // Every element of the displayable kinds, kind by kind, in the host's order.
    virtual std::vector<ElementFacts> CollectElements() = 0;
};

// The element's GlobalId as link files name it: its building model's, else its identifier as
// 8-4-4-4-12 hexadecimal text.
std::string GlobalIdOf(const ElementFacts& element);
