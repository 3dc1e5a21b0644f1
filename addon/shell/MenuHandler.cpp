#include "shell/MenuHandler.h"

#include "hostcalls/HostInterface.h"
#include "schedule/Exceptions.h"
#include "shell/ModuleObjects.h"
#include "shell/MovieCommand.h"

GSErr AddonMenuHandler(const HostMenuParams* params) {
    if (params == nullptr) return 0;
    HostKeepLoaded(true);
    ModuleObjects& m = Module();
    try {
        switch (params->itemIndex) {
        case 1:
            if (m.palette) {
                m.palette->ShowPalette(!m.palette->IsVisible());
                m.palette->RefillList(true);
            }
            break;
        case 3:
            if (m.taskDB.Open() && m.palette) {
                // The edit belonged to the schedule that is gone.
                m.palette->DiscardRowEdit();
                m.palette->RefillList(true);
                m.palette->ShowPalette(true);
            }
            break;
        case 4:
        case 5:
            if (m.taskDB.Save(params->itemIndex == 5) && m.palette) m.palette->RefillList(true);
            break;
        case 6: MakeAnimationCommand(); break;
        default: break;
        }
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
    return 0;
}
