#pragma once
// Elements named in a report line: the first few ID texts in quotes, then "..." for the rest.
#include "linking/ElementFacts.h"

#include <cstddef>
#include <string>
#include <vector>

std::string ElementList(const std::vector<const ElementFacts*>& elements, size_t shown = 10);
