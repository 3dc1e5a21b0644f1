#pragma once
// The add-on's module-wide objects, made in this order when the module loads: the settings,
// the element display, the schedule (which refers to both). The palette and its observer are
// made by initialisation and destroyed by teardown, and so is the schedule chart.
#include "chart/ChartWindow.h"
#include "chart/SCurveWindow.h"
#include "display/ElementHider.h"
#include "linking/RevisionLinkReport.h"
#include "palette/MainDialogCPP.h"
#include "palette/MainDialogObserver.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <memory>

struct ModuleObjects {
    AnimationSettings settings;
    ElementHider elementHider;
    TaskDB taskDB{settings, &elementHider};
    std::unique_ptr<MainDialogCPP> palette;
    std::unique_ptr<MainDialogObserver> observer;
    std::unique_ptr<ChartWindow> chart; // made after the palette, whose selection it shares
    std::unique_ptr<SCurveWindow> sCurve;
    RevisionLinkReport lastRevision;    // what the model's last revision did to the links
};

ModuleObjects& Module();

// The add-on's identity with the host's add-on registry.
constexpr uint32_t kAddonDeveloperId = 0x42565354; // 'BVST'
constexpr uint32_t kAddonLocalId = 0x00000001;
