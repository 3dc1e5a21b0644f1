#pragma once
// Unique ID texts for elements: the first element of a name takes the name itself, the next
// ones "NAME (2)", "NAME (3)" and so on, every text fitted to the element's ID text field
// (the name is cut, never the number).
#include <string>
#include <unordered_map>
#include <unordered_set>

class IdTextNamer {
public:
    // An ID text already in use, which Next must not give out.
    void Reserve(const std::string& idText) { taken_.insert(idText); }
    bool IsTaken(const std::string& idText) const { return taken_.count(idText) != 0; }
    // A free ID text for `base` (8-bit code page, not empty), reserved.
    std::string Next(const std::string& base);
    // Whether Next could have given `idText` for `base`: the fitted base, or it with a number.
    static bool IsFormOf(const std::string& idText, const std::string& base);

private:
    static std::string Fitted(const std::string& base, const std::string& suffix);

    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, long> nextNumber_; // by base: where the search goes on
};
