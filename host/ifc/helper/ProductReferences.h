#pragma once
// What a product's placement and representation lead to in the file, held against the records
// that are there. A product that needs a record the file does not have makes the whole file
// unusable: the library would drop the reference without a word and draw the product without
// that part, or somewhere else. A product that needs a record the file has but the library
// did not read (an entity it does not know) is left out, with the record named.
#include "host/ifc/helper/LibraryMessages.h"
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/step/ReferenceSearch.h"

#include <ifcpp/model/BasicTypes.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class BuildingEntity;
class IfcProduct;
class IfcRepresentation;

// The library's reading of the record at a place in the file; null where it made none.
using EntityOfRecord = std::function<const BuildingEntity*(uint32_t position)>;

class ProductReferences {
public:
    // `text` and `scan` are the file's, `entities` the library's reading of each record (null
    // where it made none; ParseWithLibrary) and `parse` what the library said while reading;
    // `use`, when given, the records it was not to make, which are not unread.
    ProductReferences(std::string_view text, const StepScan& scan, EntityOfRecord entities, const LibraryMessages& parse,
                      const std::vector<RecordUse>* use = nullptr);
    // Its search asks this one's entities.
    ProductReferences(const ProductReferences&) = delete;
    ProductReferences& operator=(const ProductReferences&) = delete;

    // Throws EIfcFile naming the first product, in file order, whose placement or representation
    // leads to a number no record has, and that number.
    void RefuseMissingRecords();
    // Why the product cannot be made as the file gives it ("its body uses #50, ..."); empty when
    // its representations were all read and, when it has `bodies`, its placement and every
    // record of theirs.
    std::string UnreadRecordUse(const IfcProduct& product, const std::vector<shared_ptr<IfcRepresentation>>& bodies);
    // The same of the product numbered `product`, its bodies given by their numbers.
    std::string UnreadRecordUse(int product, const std::vector<int>& bodies);

private:
    std::string Unread(const char* what, ReferenceSearch::Found found) const;

    std::string_view text_;
    const StepScan& scan_;
    EntityOfRecord entities_;
    const LibraryMessages& parse_;
    const std::vector<RecordUse>* use_;
    ReferenceSearch unread_;
};
