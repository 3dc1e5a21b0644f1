#pragma once
// What a revision of the building model did to the links: those kept with their element, those
// whose element was found again under a new GlobalId (and how), those lost with their element,
// and the new elements no link rule reached. Written to the report window as lines that name
// the element and the task, and kept for a CSV file the user may ask for.
#include "hostcalls/HostRevision.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

#include <cstddef>
#include <string>
#include <vector>

struct RevisionLinkRow {
    enum class Outcome { Kept, Rematched, Lost, NewUnreached };
    Outcome outcome = Outcome::Kept;
    std::string kindName, idText, globalId; // 8-bit; the IFC GlobalId the identifier's 128 bits give
    int32_t taskId = 0;                     // 0 for a new element without links
    std::string taskName;                   // 8-bit; empty for a task the schedule does not have
    std::string how;                        // re-matched: the fingerprint's parts; lost: "ambiguous" when several fit
};

struct RevisionLinkReport {
    bool taken = false;
    size_t kept = 0, rematched = 0, lost = 0, newUnreached = 0;
    std::vector<RevisionLinkRow> rows;
};

// The links as the revision left them, before the rules are applied again.
RevisionLinkReport CollectRevisionLinks(const HostRevision& revision, TaskDB& db, const IElementDisplay& display);
// The new elements among `unreached` (the elements no rule reached), or every new one when there
// were no rules to apply.
void AddUnreachedNewElements(RevisionLinkReport& report, const HostRevision& revision, const std::vector<API_Guid>* unreached,
                             const IElementDisplay& display);
void WriteRevisionLinkReport(const RevisionLinkReport& report);
// UTF-8 with a byte-order mark, semicolons, one row a link or new element, CR LF.
std::string RevisionLinksCsv(const RevisionLinkReport& report);
