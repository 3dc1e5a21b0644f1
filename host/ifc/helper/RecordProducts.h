#pragma once
// The file's products as its records give them, for a file the library does not parse: each
// product's own attributes read by the library's reading of that one record (its class, GlobalId,
// name, tag and predefined type exactly as a parse gives them), what it refers to given to it as
// bare entities of their types, and nothing of the rest of the model made; its body
// representations and its storey from the records.
#include "host/ifc/helper/LibraryMessages.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/StepEntityScan.h"

#include <ifcpp/model/BasicTypes.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class BuildingEntity;
class IfcProduct;

class RecordProducts {
public:
    // `types`, the file's record names, held for as long as this.
    RecordProducts(std::string_view text, const StepScan& scan, const RecordTypes& types);

    // Whether a parse by the library would read every record and find every reference: then no
    // product is left out for a record it did not read, and the file is not refused for one it
    // does not have.
    bool Whole() const { return whole_; }
    // The product at `position` with its own attributes read; null for a record of another kind.
    // Empty when its reading is not the same as a parse's: one that is said to fail.
    std::optional<shared_ptr<IfcProduct>> ProductAt(uint32_t position);
    // The numbers of its body representations (BodyRepresentations); nothing when they are not
    // read here.
    std::optional<std::vector<int>> BodiesOf(uint32_t position) const;
    // The name of its building storey (StoreyOf); nothing when the way there is not read here.
    std::optional<std::string> StoreyOf(uint32_t position);
    // The building storeys' names from the lowest up (BuildingStoreysOf); nothing when one is not
    // read here.
    std::optional<std::vector<std::string>> Storeys();

    // An entity of the record's type where a parse would make one (never read: only its type
    // counts), null where it would make none; and the unknown types said as a parse says them
    // (ProductReferences).
    const BuildingEntity* MadeAt(uint32_t position) const;
    const LibraryMessages& Said() const { return said_; }

private:
    std::string Type(uint32_t position) const;
    std::vector<std::string_view> Attributes(uint32_t position) const;
    // An entity of the type, the library's, made once; null for a type it does not know.
    BuildingEntity* Sample(const std::string& type);
    // The record read as a parse reads it, with its own attributes only; null where a parse
    // makes none, nothing when the library speaks of it.
    std::optional<shared_ptr<BuildingEntity>> EntityAt(uint32_t position);

    std::string_view text_;
    const StepScan& scan_;
    const RecordTypes& types_;
    shared_ptr<BuildingModel> header_; // the schema version the library reads a record for
    ReaderSTEP reader_;
    LibraryMessages said_;
    bool whole_ = true;
    std::map<std::string, shared_ptr<BuildingEntity>> samples_;
    // The entities of the records' types, by the numbers of their names (RecordTypes.h), and of
    // the few records whose names have none: one a record of the file is not worth holding.
    std::vector<BuildingEntity*> byNumber_;
    std::unordered_map<uint32_t, BuildingEntity*> unnumbered_;
    std::unordered_map<uint32_t, std::optional<std::string>> storeyNames_; // by the storey's place
    // (element, structure) of containments and (part, whole) of aggregations, each by the
    // first, then in the order of the relations' numbers.
    std::vector<std::pair<uint32_t, uint32_t>> containedIn_, partOf_;
};
