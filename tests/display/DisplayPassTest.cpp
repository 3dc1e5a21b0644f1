#include "DisplayFixture.h"
#include "dialogkit/DGCursor.h"
#include "display/DisplayPass.h"
#include "schedule/tasks/Exceptions.h"

#include <functional>
#include <new>
#include <utility>

namespace {

HostElementListFunc gListing = nullptr;
// The checks before a pass list the model too; the listing fails only once the pass has set the
// host switch, in its work.
GSErr OutOfMemoryListing(uint32_t token, int32_t kind, uint32_t* list) {
    if (!Host::Current()->hostSwitch) return gListing(token, kind, list);
    throw std::bad_alloc();
}
GSErr RefusedSetting(uint32_t, uint32_t, void*, void*) { return static_cast<GSErr>(0x81060999); }

class DisplayPassTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        // On a locked layer, so that a display left unfinished shows as the layer left unlocked.
        Link(Wall("FAL-01", locked), {1});
        AddTask(1, ConstructionType::Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
        db.SetCurrentDate(DateTime(2009, 3, 3), true);
        db.SetDirty(false);
    }
    void Replace(int slot, HostFunc op) {
        auto table = host->Table();
        table[static_cast<size_t>(slot)] = op;
        SetImportedFuncAddrs(table.data());
    }
    bool LayerLocked() {
        auto& layer = *host->Model().Attribute(HostAttribute::Layer, locked);
        return (LE::Get<uint32_t>(layer, HostAttribute::kFlags) & HostAttribute::kLayerLocked) != 0;
    }
    // Each pass a caller can ask for, by the name the failures are reported with.
    std::vector<std::pair<const char*, std::function<void()>>> Passes(DisplayPass& pass, bool& framed) {
        return {{"current date", [&pass] { pass.ShowAtCurrentDate("Mutasd"); }},
                {"show all", [&pass] { pass.ShowAll("Mutasd mind"); }},
                {"movie", [&pass, &framed] {
                     pass.Movie([&pass, &framed] {
                         framed = true;
                         pass.ShowFrame();
                         return true;
                     });
                 }}};
    }
};

TEST_F(DisplayPassTest, WhatAPassOpenedIsClosedWhenItsWorkThrows) {
    gListing = reinterpret_cast<HostElementListFunc>(host->Table()[kHostElementList]);
    Replace(kHostElementList, reinterpret_cast<HostFunc>(&OutOfMemoryListing));
    DisplayPass pass(hider, db);
    bool framed = false;
    for (auto& [name, run] : Passes(pass, framed)) {
        int32_t rebuilds = host->rebuildCount;
        EXPECT_THROW(run(), std::bad_alloc) << name;
        EXPECT_EQ(DGCurrentCursor(), DGCursor::Arrow) << name;
        EXPECT_FALSE(host->Model().Undo().IsOpen()) << name;
        EXPECT_EQ(host->rebuildCount, rebuilds + 1) << name;
        EXPECT_FALSE(host->hostSwitch) << name;
        EXPECT_TRUE(LayerLocked()) << name;
    }
    EXPECT_TRUE(framed);
    SetImportedFuncAddrs(host->Table().data());
    EXPECT_FALSE(pass.Movie([] { return false; })); // a movie's failure is its caller's to say
}

TEST_F(DisplayPassTest, AFailedPrepareLeavesNothingToFinish) {
    Replace(kHostEnvironmentSet, reinterpret_cast<HostFunc>(&RefusedSetting));
    DisplayPass pass(hider, db);
    int32_t rebuilds = host->rebuildCount;
    size_t steps = host->Model().Undo().UndoCount();
    bool framed = false;
    for (auto& [name, run] : Passes(pass, framed)) EXPECT_THROW(run(), EElementHider) << name;
    EXPECT_FALSE(framed);
    EXPECT_EQ(host->rebuildCount, rebuilds);
    EXPECT_EQ(host->Model().Undo().UndoCount(), steps);
    EXPECT_EQ(DGCurrentCursor(), DGCursor::Arrow);
    EXPECT_TRUE(LayerLocked());
    SetImportedFuncAddrs(host->Table().data());
}

} // namespace
