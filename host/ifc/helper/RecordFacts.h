#pragma once
// A product's description, object type, materials, classifications and single values read from
// the file's own records, the same as the library's entities give them (IfcProductFacts.h):
// relations counted in the order of their numbers, as the library finds its inverse attributes.
// A product some record of whose facts is in a form not read here has none from here, and takes
// the library's.
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct RecordProductFacts {
    std::string description, objectType;
    std::vector<std::string> materials, classifications;
    std::vector<std::pair<std::string, std::string>> properties;
};

class RecordFacts {
public:
    // The file's relations of properties, types, materials and classifications found once;
    // `types` (the file's record names) held for as long as this.
    RecordFacts(std::string_view text, const StepScan& scan, const RecordTypes& types);

    std::optional<RecordProductFacts> Of(uint32_t position);
    // The materials of the product by their places, its own or else its type's, in the order
    // the facts name them.
    std::optional<std::vector<uint32_t>> MaterialsOf(uint32_t position);

private:
    using Values = std::vector<std::pair<std::string, std::string>>;
    enum class Relation : uint8_t { Properties, Type, Material, Classification };
    struct Related {
        uint32_t object;
        Relation relation;
        uint32_t relating; // the place of what the relation relates the object to
        bool shared;       // relates more than this object
    };

    std::vector<std::string_view> Attributes(uint32_t position) const;
    std::string Type(uint32_t position) const;
    std::optional<uint32_t> Place(int id) const;
    // What the object's relations of the kind relate it to, in the order of their numbers; false
    // when one is not read here.
    bool Relating(uint32_t object, Relation relation, std::vector<uint32_t>& out) const;
    // The object's property sets, each with whether the relation shares it with others.
    std::vector<std::pair<uint32_t, bool>> PropertySetsOf(uint32_t object, bool& read) const;

    std::optional<uint32_t> TypeObjectOf(uint32_t object);
    bool ReadSet(uint32_t definition, Values& out) const;
    bool ReadValues(uint32_t object, Values& out);
    bool Materials(uint32_t select, std::vector<uint32_t>& out, int depth) const;
    std::optional<std::vector<uint32_t>> MaterialsOf(uint32_t object, uint32_t type) const;
    bool MaterialNames(const std::vector<uint32_t>& materials, std::vector<std::string>& out) const;
    bool Classifications(uint32_t object, std::vector<std::string>& out) const;
    std::optional<std::string> ClassificationText(uint32_t select) const;
    std::optional<std::string> SystemOf(uint32_t source, int depth) const;

    std::string_view text_;
    const StepScan& scan_;
    const RecordTypes& types_;
    bool whole_ = true;           // every relation read
    std::vector<Related> related_; // by object, then in the order of the relations' numbers
    std::unordered_map<uint32_t, Values> sharedSets_;
    std::unordered_map<std::string, bool> typeObjects_; // by entity name, whether one is a type object
};
