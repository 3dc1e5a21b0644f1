#pragma once
// Another building model brought into a project beside the one it holds: its products become
// elements as at opening, named so they do not take the ID texts already in use, on layers of
// their own ("ARCH: Walls", or by storey), each with the fact "model" naming it.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcElementMaker.h"

#include <string>
#include <vector>

// Names the model of the elements that came from a building model and name none yet: the
// project's first model, once a second comes. Through the model's changes, so an open undo step
// keeps it.
void NameUnnamedModel(HostModel& model, const std::string& name);
// Takes the name away again from the elements of the model left alone in the project.
void UnnameModel(HostModel& model, const std::string& name);

// The elements of `data` added as `options` say (its modelName and layerPrefix set); returns how
// many. The products left out are added to `skipped`.
size_t AddIfcModelElements(HostModel& model, const IfcBuildingData& data, const IfcModelOptions& options,
                           std::vector<IfcSkippedProduct>& skipped);
