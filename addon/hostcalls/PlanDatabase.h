#pragma once
// Keep the host on its floor plan while elements change: a guard brings the floor plan's window
// to the front and back; a switch first tries to make it current without touching the windows.
#include "hostapi/HostEnvironmentRecords.h"

#include <array>
#include <cstdint>

class PlanDatabaseGuard {
public:
    PlanDatabaseGuard();
    ~PlanDatabaseGuard();
    PlanDatabaseGuard(const PlanDatabaseGuard&) = delete;
    PlanDatabaseGuard& operator=(const PlanDatabaseGuard&) = delete;

private:
    std::array<uint8_t, HostDatabaseRecord::kSize> saved_{};
    bool switched_ = false;
};

class PlanDatabaseSwitch {
public:
    PlanDatabaseSwitch();
    ~PlanDatabaseSwitch();
    PlanDatabaseSwitch(const PlanDatabaseSwitch&) = delete;
    PlanDatabaseSwitch& operator=(const PlanDatabaseSwitch&) = delete;

private:
    std::array<uint8_t, HostDatabaseRecord::kSize> saved_{};
    bool switched_ = false;
};
