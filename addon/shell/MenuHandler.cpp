#include "shell/MenuHandler.h"

#include "display/ProfilesDialog.h"
#include "display/ProfilesFileCommands.h"
#include "exchange/IfcScheduleExport.h"
#include "exchange/IfcScheduleImport.h"
#include "hostcalls/HostInterface.h"
#include "linking/LinkRulesCommand.h"
#include "linking/LinksCsvCommands.h"
#include "linking/RevisionReportCommand.h"
#include "resources/AddonMenu.h"
#include "schedule/tasks/Exceptions.h"
#include "shell/ModuleObjects.h"
#include "shell/MovieCommand.h"
#include "shell/SlipReportCommand.h"
#include "shell/SupportCheckCommand.h"
#include "shell/WebPageCommand.h"

namespace {

// The marks of the tasks linked to the selection may be out of date.
void AfterLinksChanged(ModuleObjects& m) {
    if (!m.palette) return;
    m.taskDB.ClearMarks(*m.palette);
    m.palette->RefillList(true);
}

} // namespace

GSErr AddonMenuHandler(const HostMenuParams* params) {
    if (params == nullptr) return 0;
    HostKeepLoaded(true);
    ModuleObjects& m = Module();
    try {
        switch (static_cast<AddonMenuItem>(params->itemIndex)) {
        case AddonMenuItem::ShowPalette:
            if (m.palette) {
                m.palette->ShowPalette(!m.palette->IsVisible());
                m.palette->RefillList(true);
            }
            break;
        case AddonMenuItem::OpenProject:
            if (m.taskDB.Open() && m.palette) {
                // The edit belonged to the schedule that is gone.
                m.palette->DiscardRowEdit();
                m.palette->RefillList(true);
                m.palette->ShowPalette(true);
            }
            break;
        case AddonMenuItem::SaveProject:
        case AddonMenuItem::SaveProjectAs:
            if (m.taskDB.Save(params->itemIndex == static_cast<int32_t>(AddonMenuItem::SaveProjectAs)) && m.palette) m.palette->RefillList(true);
            break;
        case AddonMenuItem::MakeAnimation: MakeAnimationCommand(); break;
        case AddonMenuItem::LinkByRules:
            LinkByRulesCommand(m.taskDB);
            AfterLinksChanged(m);
            break;
        case AddonMenuItem::ImportLinks:
            ImportLinksCommand(m.taskDB);
            AfterLinksChanged(m);
            break;
        case AddonMenuItem::ExportLinks: ExportLinksCommand(m.taskDB); break;
        case AddonMenuItem::ScheduleFromIfc:
            ScheduleFromIfcCommand(m.taskDB);
            if (m.palette) m.palette->DiscardRowEdit();
            AfterLinksChanged(m);
            break;
        case AddonMenuItem::ScheduleIntoIfc: SaveScheduleIntoIfcCommand(m.taskDB); break;
        case AddonMenuItem::ShowChart:
            if (m.chart) m.chart->Show(!m.chart->IsVisible());
            break;
        case AddonMenuItem::SupportCheck: ToggleSupportCheckCommand(m.settings); break;
        case AddonMenuItem::Profiles:
            // The row edit's pop-up names the profiles as they were.
            if (ProfilesDialog(m.elementHider, m.taskDB).Run() && m.palette) m.palette->RefillList(true);
            break;
        case AddonMenuItem::ReadProfiles: ReadProfilesCommand(m.taskDB, m.elementHider); break;
        case AddonMenuItem::WriteProfiles: WriteProfilesCommand(m.elementHider); break;
        case AddonMenuItem::ShareWebPage: ShareWebPageCommand(m.elementHider, m.taskDB); break;
        case AddonMenuItem::ShowSCurve:
            if (m.sCurve) m.sCurve->Show(!m.sCurve->IsVisible());
            break;
        case AddonMenuItem::ReportSlips: ReportSlipsCommand(m.taskDB); break;
        case AddonMenuItem::WriteRevisionReport: WriteRevisionReportCommand(m.lastRevision, m.taskDB); break;
        default: break;
        }
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
    return 0;
}
