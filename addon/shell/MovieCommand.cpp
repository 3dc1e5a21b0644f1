#include "shell/MovieCommand.h"

#include "chart/ChartColours.h"
#include "chart/ChartTexts.h"
#include "chart/GanttStrip.h"
#include "display/DisplayPass.h"
#include "movie/AnimationDialog.h"
#include "movie/AnimationRunner.h"
#include "palette/MainDialogCPP.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "shell/ModuleObjects.h"

MovieChartParts ChartPartsForMovie() {
    BKResModuleScope scope(AddonResModule());
    MovieChartParts parts;
    parts.drawStrip = [texts = ChartTexts::Load()](const TaskDB& db, int32_t width, int32_t height, double scale,
                                                   int32_t top, DGCanvas& canvas) {
        DrawGanttStrip(db, texts, width, height, scale, top, canvas);
    };
    parts.typeColours = ConstructionTypeColours();
    return parts;
}

void MakeAnimation(TaskDB& taskDB, ElementHider& hider, MainDialogCPP* palette) {
    if (taskDB.TaskCount() == 0) {
        AddonAlert(kAlertNoProjectOpen);
        return;
    }
    taskDB.Settings().NormaliseRange(taskDB.EarliestStart(), taskDB.LatestFinish());
    AnimationDialog dialog(taskDB);
    if (!dialog.Run()) return;
    if (palette) palette->ShowPalette(false);
    bool made = false;
    {
        AnimationRunner runner(taskDB, hider, dialog.SelectedCameraPath(), dialog.FrameCount());
        runner.SetChartParts(ChartPartsForMovie());
        try {
            if (runner.Ok()) made = DisplayPass(hider, taskDB).Movie([&runner] { return runner.Run(); });
        } catch (const std::exception&) {
            made = false;
        }
        // The movie counts as made only once its file is complete, and only then is it said.
        made = runner.FinishMovie() && made && runner.Ok();
    }
    AddonAlert(made ? kAlertMovieMade : kAlertMovieFailed);
}

void MakeAnimationCommand() { MakeAnimation(Module().taskDB, Module().elementHider, Module().palette.get()); }
