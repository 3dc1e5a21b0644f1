#include "linking/ElementList.h"

std::string ElementList(const std::vector<const ElementFacts*>& elements, size_t shown) {
    std::string out;
    for (size_t i = 0; i < elements.size() && i < shown; ++i) {
        if (i) out += ", ";
        // A nameless element is named by its identifier, which the selection can find it by.
        out += "\"" + (elements[i]->idText.empty() ? elements[i]->guid.ToString() : elements[i]->idText) + "\"";
    }
    if (elements.size() > shown) out += ", ...";
    return out;
}
