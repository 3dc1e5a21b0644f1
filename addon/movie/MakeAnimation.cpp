#include "display/ElementHider.h"
#include "movie/AnimationDialog.h"
#include "movie/AnimationRunner.h"
#include "movie/AnimationSettings.h"
#include "palette/MainDialogCPP.h"
#include "resources/AddonResources.h"
#include "schedule/TaskDB.h"

void MakeAnimation(TaskDB& taskDB, ElementHider& hider) {
    if (taskDB.TaskCount() == 0) {
        AddonAlert(32504);
        return;
    }
    taskDB.Settings().NormaliseRange(taskDB.EarliestStart(), taskDB.LatestFinish());
    AnimationDialog dialog(taskDB);
    if (!dialog.Run()) return;
    if (MainDialogCPP* palette = CurrentPalette()) palette->ShowPalette(false);
    bool made = false;
    {
        AnimationRunner runner(taskDB, hider, dialog.SelectedCameraPath(), dialog.FrameCount());
        try {
            if (runner.Ok()) {
                hider.Prepare(taskDB);
                made = runner.Run();
                hider.Finish();
            }
        } catch (const std::exception&) {
            made = false;
        }
        // The movie counts as made only once its file is complete, and only then is it said.
        made = runner.FinishMovie() && made && runner.Ok();
    }
    AddonAlert(made ? 32524 : 32525);
}
