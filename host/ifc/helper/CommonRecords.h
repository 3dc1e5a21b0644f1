#pragma once
// The most common records of a file (points, poly loops, faces and their bounds, directions and
// placements, property sets, their single values and relations, representations: four fifths of
// a real file's records) read straight into the library's entities, as its own reading fills them
// in, without its passes that turn the text into wide strings first.
#include <ifcpp/model/BasicTypes.h>

#include <map>
#include <string_view>

class BuildingEntity;

// `attributes`: the record's attribute list as AttributeText gives it ("((0.,1.5,2.))"), with
// blanks and comments taken out. False, with the entity untouched, unless the record is one of
// these in the plain form exporters write, every reference one to an entity of the right type in
// `entities`: the library reads it then, and says what it finds wrong.
bool ReadCommonRecord(BuildingEntity& entity, std::string_view attributes, const std::map<int, shared_ptr<BuildingEntity>>& entities);
