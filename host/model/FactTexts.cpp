#include "host/model/FactTexts.h"

uint32_t FactTexts::Intern(std::string_view text) {
    auto found = ids_.find(text);
    if (found != ids_.end()) return found->second;
    const auto id = static_cast<uint32_t>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
}
