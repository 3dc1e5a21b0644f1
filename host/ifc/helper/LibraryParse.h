#pragma once
// The IFC library's model of a file whose records the reader has already scanned
// (StepEntityScan.h): what the library's own reading makes, from its own pieces (its entity
// factory, its attribute reading, its inverse attributes), without its passes over the whole text
// and its copies of it, and with the attributes read on `threads` threads.
#include "host/ifc/helper/LibraryMessages.h"
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/step/StepEntityScan.h"

#include <ifcpp/model/BasicTypes.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class BuildingEntity;
class BuildingModel;

// Work on the entities' own attributes (never their inverse ones, never the model's map), given
// the entities by their place in the file; it may run on a thread of its own while the library
// resolves the inverse attributes.
using BesideInverses = std::function<void(const std::vector<BuildingEntity*>& inFileOrder)>;

// Records of types the library does not know, and complex instances, which it does not read, are
// not in the model; the unknown names are said to `messages` as the library says them. Returns the
// model's entity of each record by its place in the file (scan.ids), null where there is none.
// What `beside` throws is thrown after the library's own failures. `use`, when given, says of
// each record whether it is made and read (RecordPathPlan.h).
std::vector<BuildingEntity*> ParseWithLibrary(std::string_view text, const StepScan& scan, shared_ptr<BuildingModel>& model,
                                              LibraryMessages& messages, unsigned threads, const BesideInverses& beside = {},
                                              const std::vector<RecordUse>* use = nullptr);

// The same of the share of the records `use` makes, when nothing is wanted of their entities
// by place: no table of every record's is made.
void ParseShareWithLibrary(std::string_view text, const StepScan& scan, shared_ptr<BuildingModel>& model, LibraryMessages& messages,
                           unsigned threads, const std::vector<RecordUse>& use);

// Where the record between `offset` and `end` has its attributes, its '(' after the entity name,
// with the name upper case as the library takes it; npos for a complex instance, which the
// library does not read.
size_t LibraryRecordName(std::string_view text, size_t offset, size_t end, std::string& name);
// The attributes from `from` to `end` as the library's own reading hands them on: blanks, line
// ends and comments outside strings left out, strings as written.
void LibraryAttributeText(std::string_view text, size_t from, size_t end, std::string& out);
