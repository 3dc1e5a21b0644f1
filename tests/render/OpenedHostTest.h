#pragma once
// A host of the test's own, the current one while the test runs, opening projects from files.
#include "host/app/Host.h"

#include <gtest/gtest.h>

#include <string>

class OpenedHostTest : public ::testing::Test {
protected:
    void SetUp() override { Host::SetCurrent(&host); }
    void TearDown() override { Host::SetCurrent(nullptr); }
    void Open(const std::string& path) {
        std::string error;
        ASSERT_TRUE(host.OpenProject(path, error)) << error;
    }
    Host host;
};
