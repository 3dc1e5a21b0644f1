#pragma once
// The facts the host keeps for an element: pairs of zero-terminated texts in one block, read
// within the block's size. A host without the operation, or an element without facts, gives none.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// `flags` as HostElementGetFacts takes them (kHostFactsUtf8 for UTF-8 texts).
std::vector<std::pair<std::string, std::string>> ReadElementFacts(const uint8_t* head, int32_t flags);
