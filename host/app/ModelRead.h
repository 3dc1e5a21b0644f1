#pragma once
// A model read from its file apart from the open project, so that a long read can run on a
// thread of its own while the host's thread goes on answering; the host then makes it the open
// project (Host::AdoptProject) or brings it in as a revision (Host::AdoptIfcRevision). Reading
// touches nothing of the host, and a read that failed or was cancelled leaves nothing to undo.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcElementMaker.h"
#include "host/ifc/reader/IfcReadProgress.h"
#include "host/model/HostModel.h"

#include <memory>
#include <string>
#include <vector>

struct ModelRead {
    std::string path;
    bool ifc = false;
    // A project's model, or the IFC file's elements, with pens and the view on the whole building.
    // None for a revision, whose elements are made against the open model.
    std::unique_ptr<HostModel> model;
    // The file's building data: for an opened model without its products' meshes, now the
    // elements'; for a revision whole.
    IfcBuildingData data;
    std::vector<IfcSkippedProduct> skipped; // an opened model's products left out
    bool cancelled = false;
    std::string error; // why the file could not be read

    bool Usable() const { return !cancelled && error.empty(); }
};

// How the host makes elements of an IFC file: the kinds' names in the host's language. Made on
// the host's thread: the names are looked up here, since the resources' current module is one
// for the process, which a read on another thread must not switch.
IfcModelOptions HostIfcModelOptions();

// A host project (.qvp), or an IFC model with its elements made as `options` say.
// `progress`, when given, hears the phases and may cancel.
ModelRead ReadProjectFile(const std::string& path, const IfcModelOptions& options, IIfcReadProgress* progress);
// A later revision of an IFC model, its elements not made yet.
ModelRead ReadIfcRevision(const std::string& path, IIfcReadProgress* progress);
