#pragma once
// The activity palette shown on an in-process host, over a schedule of the test's own.
#include "HostFixture.h"
#include "display/ElementHider.h"
#include "palette/MainDialogCPP.h"
#include "palette/MainDialogObserver.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "shell/AddonEntries.h"

#include <memory>

class PaletteFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        hider.LoadResources();
        db.InitTaskDB();
        AddonRegisterInterface();
        palette = std::make_unique<MainDialogCPP>(db, hider);
        observer = std::make_unique<MainDialogObserver>(*palette);
        palette->StartEventProcessing();
        palette->ShowPalette(true);
    }
    void TearDown() override {
        palette.reset();
        observer.reset();
        HostFixture::TearDown();
    }

    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    std::unique_ptr<MainDialogCPP> palette;
    std::unique_ptr<MainDialogObserver> observer;
};
