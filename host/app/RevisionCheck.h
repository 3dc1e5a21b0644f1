#pragma once
// Before a revision of the IFC model changes the project: what it would take away, and whether
// the undo history can hold it. The user is asked when the revision removes more than a fifth of
// the project's elements or any element an add-on keeps data on (links, for one).
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/resources/HostResources.h"

#include <string>
#include <vector>

struct RevisionCheck {
    size_t removing = 0, total = 0;
    size_t withAddonData = 0;
    std::vector<std::string> firstWithAddonData; // ID texts (8-bit), at most ten
    bool fitsUndo = true;
    bool ask = false;
};

RevisionCheck CheckRevision(const HostModel& model, const IfcRevisionPlan& plan);
// Asks the user; true to go on with the update (or, with ModelRemoves, the model's removal).
bool ConfirmRevision(const RevisionCheck& check, HostAlert alert = HostAlert::UpdateRemoves);
