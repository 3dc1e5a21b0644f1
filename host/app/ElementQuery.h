#pragma once
// Finding elements by what they are: conditions on the IFC class, storey, layer, ID text,
// material, kind, any fact (`Pset_WallCommon.IsExternal`), and whether they are linked to a
// task. Patterns compare without letter case, with `*` and `?`. The script's `select-where` and
// the desktop's Find dock ask through here.
#include "host/model/HostModel.h"

#include <optional>
#include <string>
#include <vector>

struct ElementCondition {
    enum class Subject { Fact, Layer, Name, Kind, Linked, Unlinked };
    Subject subject = Subject::Fact;
    std::string key;             // the fact's key, for Fact
    std::string pattern;         // UTF-8
    std::vector<int32_t> kinds;  // for Kind
};

// "KEY=PATTERN", "kind=N[,N...]", "linked" or "unlinked"; none with `error` for a key no
// element can have or a malformed kind list.
std::optional<ElementCondition> ParseElementCondition(const std::string& text, std::string& error);
// The keys the Find dock offers before the model's own property names.
const std::vector<std::string>& ElementConditionKeys();

bool MeetsAll(const HostModel& model, const Element& element, const std::vector<ElementCondition>& conditions);
// Every element, in model order, that meets all conditions.
std::vector<Element*> FindElements(const HostModel& model, const std::vector<ElementCondition>& conditions);
