#include "host/app/ElementQuery.h"

#include "basekit/BKPattern.h"
#include "basekit/BKText.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// Fact keys a condition may name without a property set's dot; `name` is the element's ID text.
const std::vector<std::string> kKeys = {"class", "type", "storey", "layer", "name", "material", "tag",
                                        "description", "globalid", "classification", "kind", "model"};

// The add-on's link record starts with its ten task slots (32-bit ids, 0 for none).
bool HasLinks(const Element& e) {
    auto it = e.userData.find("Bauvista");
    if (it == e.userData.end()) return false;
    const auto& bytes = it->second.bytes;
    for (size_t k = 0; k < 10 && 4 * k + 4 <= bytes.size(); ++k)
        if (LE::Get<int32_t>(bytes, 4 * k) != 0) return true;
    return false;
}

bool SameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

bool Meets(const HostModel& model, const Element& e, const ElementCondition& c) {
    using S = ElementCondition::Subject;
    switch (c.subject) {
    case S::Linked: return HasLinks(e);
    case S::Unlinked: return !HasLinks(e);
    case S::Kind: return std::find(c.kinds.begin(), c.kinds.end(), e.Kind()) != c.kinds.end();
    case S::Name: return BKMatchesPattern(BKToUtf8(e.IdText()), c.pattern);
    case S::Layer: return BKMatchesPattern(BKToUtf8(model.AttributeName(HostAttribute::Layer, e.Layer())), c.pattern);
    case S::Fact:
        // A fact a file gives several times (materials) matches when any of them does.
        for (const ElementFact& f : e.facts)
            if (SameKey(model.Facts().Text(f.key), c.key) && BKMatchesPattern(model.Facts().Text(f.value), c.pattern))
                return true;
        return false;
    }
    return false;
}

} // namespace

const std::vector<std::string>& ElementConditionKeys() { return kKeys; }

std::optional<ElementCondition> ParseElementCondition(const std::string& text, std::string& error) {
    using S = ElementCondition::Subject;
    ElementCondition c;
    if (text == "linked" || text == "unlinked") {
        c.subject = text == "linked" ? S::Linked : S::Unlinked;
        return c;
    }
    size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "not a condition: " + text + " (KEY=PATTERN, linked or unlinked)";
        return std::nullopt;
    }
    c.key = text.substr(0, eq);
    c.pattern = text.substr(eq + 1);
    bool known = c.key.find('.') != std::string::npos ||
                 std::any_of(kKeys.begin(), kKeys.end(), [&](const std::string& k) { return SameKey(k, c.key); });
    if (!known) {
        error = "unknown key " + c.key + " (class, type, storey, layer, name, material, tag, description, globalid, "
                "classification, kind, or PSET.NAME)";
        return std::nullopt;
    }
    if (SameKey(c.key, "name")) c.subject = S::Name;
    else if (SameKey(c.key, "layer")) c.subject = S::Layer;
    else if (SameKey(c.key, "kind")) {
        c.subject = S::Kind;
        const char* p = c.pattern.data();
        const char* end = p + c.pattern.size();
        while (p < end) {
            int32_t kind = 0;
            auto r = std::from_chars(p, end, kind);
            if (r.ec != std::errc() || kind < HostElement::kFirstKind || kind > HostElement::kLastKind ||
                (r.ptr != end && *r.ptr != ',')) {
                error = "not a list of element kinds (1-42): " + c.pattern;
                return std::nullopt;
            }
            c.kinds.push_back(kind);
            p = r.ptr == end ? end : r.ptr + 1;
        }
        if (c.kinds.empty()) {
            error = "not a list of element kinds (1-42): " + c.pattern;
            return std::nullopt;
        }
    }
    return c;
}

bool MeetsAll(const HostModel& model, const Element& element, const std::vector<ElementCondition>& conditions) {
    return std::all_of(conditions.begin(), conditions.end(),
                       [&](const ElementCondition& c) { return Meets(model, element, c); });
}

std::vector<Element*> FindElements(const HostModel& model, const std::vector<ElementCondition>& conditions) {
    std::vector<Element*> out;
    for (const auto& e : model.Elements())
        if (MeetsAll(model, *e, conditions)) out.push_back(e.get());
    return out;
}
