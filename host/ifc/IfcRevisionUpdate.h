#pragma once
// A later revision of the IFC file brought into the open model, element by element through the
// GlobalId. An element the revision still has takes its new mesh and ID text and keeps all else:
// kind, index, layer, pens, materials, flags, locks and every add-on's user data. Products new
// in the revision become elements as at opening. Elements of the kinds an IFC file gives
// (bodies and zones) that the revision no longer has are removed, from the selection too;
// cameras, camera paths and drawing elements stay as they are.
#include "host/ifc/IfcBuildingData.h"
#include "host/ifc/IfcElementMaker.h"

#include <cstddef>
#include <vector>

struct IfcRevisionCounts {
    size_t kept = 0, added = 0, removed = 0;
    // The file shares no element with a model that has elements of its kinds: it is another
    // building, not a revision, and the model was left alone.
    bool unrelated = false;
    std::vector<IfcSkippedProduct> skipped; // the reader's and the update's
};

// Changes the model's elements outside any undo step; undo steps kept from before may name
// elements that are gone, so the caller clears the history.
IfcRevisionCounts UpdateFromIfcRevision(HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options);
