#include "HostFixture.h"
#include "basekit/BKResources.h"
#include "shell/ModuleLife.h"

#include <string>

namespace {

std::string debugLines;
void Collect(const char* line) { debugLines += line; }

using ModuleLifeTest = HostFixture;

TEST_F(ModuleLifeTest, UnloadWithoutTeardownLeavesOneDebugLine) {
    debugLines.clear();
    SetDebugOutput(Collect);
    BKResModule before = BKGetCurrentResModule();
    ModuleLoaded("/opt/quorvel/Bauvista.qvx");
    EXPECT_EQ(ModulePath(), "/opt/quorvel/Bauvista.qvx");
    EXPECT_EQ(BKGetCurrentResModule(), before); // the host's resources stay current
    ASSERT_NE(AddonToken(), 0u);
    ModuleUnloaded();
    EXPECT_EQ(debugLines, "Abnormal add-on termination (\"/opt/quorvel/Bauvista.qvx\")\n");
    EXPECT_EQ(AddonToken(), 0u);
    // After a teardown (token cleared) nothing is written.
    debugLines.clear();
    ModuleLoaded(std::string(300, 'x'));
    EXPECT_EQ(ModulePath().size(), 260u);
    ModuleUnloaded();
    EXPECT_TRUE(debugLines.empty());
    SetDebugOutput(nullptr);
}

} // namespace
