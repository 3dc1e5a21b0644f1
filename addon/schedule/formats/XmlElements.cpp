#include "schedule/formats/XmlElements.h"

bool IsElementNamed(const pugi::xml_node& node, std::string_view localName) {
    std::string_view full = node.name();
    size_t colon = full.find(':');
    return node.type() == pugi::node_element && (colon == std::string_view::npos ? full : full.substr(colon + 1)) == localName;
}

pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view localName) {
    for (pugi::xml_node c : node.children())
        if (IsElementNamed(c, localName)) return c;
    return {};
}

std::string_view ChildText(const pugi::xml_node& node, std::string_view localName) {
    std::string_view s(ChildNamed(node, localName).text().get());
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string_view::npos ? std::string_view() : s.substr(b, e - b + 1);
}
