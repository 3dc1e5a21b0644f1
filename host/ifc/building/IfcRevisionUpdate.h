#pragma once
// A later revision of the IFC file brought into the open model, element by element through the
// GlobalId. An element the revision still has takes its new mesh, ID text and facts and keeps
// all else: kind, index, layer, pens, materials, flags, locks and every add-on's user data.
// Products new in the revision become elements as at opening, on layers by storey when the
// model's are. Elements of the kinds an IFC file gives (bodies and zones) that the revision no
// longer has are removed, from the selection too; cameras, camera paths and drawing elements
// stay as they are.
//
// A product whose GlobalId meets no element is then sought among the elements left by its
// fingerprint (IfcFingerprint.h); an element met so takes the product's GlobalId and keeps all
// the rest, as one met by GlobalId does. Where several fit, none is met.
//
// Planned first, changing nothing, so the user can be asked before elements go; then applied
// through the model's element changes, so an open undo step keeps the whole update.
#include "host/ifc/building/IdTextNamer.h"
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcElementMaker.h"

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

struct IfcRevisionPlan {
    std::vector<IfcElementPlan> plans;
    std::vector<Element*> matched;  // by plan: the element it meets, or none for a new one
    std::vector<bool> keepsId;      // by plan: the met element keeps its ID text
    std::vector<std::string> how;   // by plan: for an element met by fingerprint, the parts that met
    std::unordered_set<API_Guid, API_GuidHash> ambiguous; // elements going that more than one product fit
    size_t ambiguousProducts = 0;
    std::unordered_set<API_Guid, API_GuidHash> gone;
    IdTextNamer names;
    // The file shares no element with a model that has elements of its kinds: it is another
    // building, not a revision.
    bool unrelated = false;
    std::vector<IfcSkippedProduct> skipped; // the reader's and the update's
    std::vector<IfcNote> notes;             // the reader's
};

struct IfcRevisionCounts {
    size_t kept = 0, added = 0, removed = 0;
    size_t rematched = 0; // of the kept, those met by fingerprint
    size_t ambiguous = 0; // products left new as more than one element fit them
    bool unrelated = false; // see IfcRevisionPlan; the model was left alone
    std::vector<IfcSkippedProduct> skipped;
    std::vector<IfcNote> notes; // the reader's
};

IfcRevisionPlan PlanIfcRevision(const HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options);
// The plan's elements must still be in the model as planned.
IfcRevisionCounts ApplyIfcRevision(HostModel& model, IfcRevisionPlan plan, const IfcModelOptions& options);
// Both at once; the caller decides what becomes of the undo history.
IfcRevisionCounts UpdateFromIfcRevision(HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options);
