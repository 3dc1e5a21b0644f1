#include "linking/LinkWrites.h"

#include "hostapi/HostAPI.h"
#include "hostcalls/HostScopes.h"
#include "hostcalls/PlanDatabase.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/links/UnlockedLayers.h"
#include "schedule/tasks/Exceptions.h"

size_t WriteChangedLinks(IElementDisplay& display, const std::vector<ElementFacts>& elements,
                         const std::vector<ElementLink>& links, const std::string& stepName) {
    bool changed = false;
    for (size_t i = 0; i < elements.size() && i < links.size() && !changed; ++i)
        changed = elements[i].link.Slots() != links[i];
    if (!changed) return 0;
    size_t failed = 0;
    bool alerted = false;
    HostUndoStep step(stepName);
    PlanDatabaseGuard guard;
    UnlockedLayers unlocked(display);
    for (size_t i = 0; i < elements.size() && i < links.size(); ++i) {
        const ElementFacts& e = elements[i];
        if (e.link.Slots() == links[i]) continue;
        ElementLinkRecord record = e.link;
        record.SetSlots(links[i]);
        try {
            if (!display.WriteElementLink(e.kind, e.guid, record, true)) ++failed;
        } catch (const EElementHider& x) {
            ++failed;
            if (x.HostError() != kHostErrUserDataRefused && !alerted) {
                alerted = true;
                AddonAlert(kAlertInternalError);
            }
        }
    }
    return failed;
}
