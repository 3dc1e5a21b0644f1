#pragma once
// The elements of a planning program's XML as its readers look them up: by their local name,
// whatever prefix the writer gave its namespace, and their texts trimmed.
#include <pugixml.hpp>

#include <string_view>

bool IsElementNamed(const pugi::xml_node& node, std::string_view localName);
// The first child element of the name; an empty node when there is none.
pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view localName);
// The text of that child without the blanks and line breaks around it; empty when there is none.
std::string_view ChildText(const pugi::xml_node& node, std::string_view localName);
