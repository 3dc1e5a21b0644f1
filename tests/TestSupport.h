#pragma once
// Shared set-up for in-process tests: a fixed clock and a clean answer queue per test.
#include "basekit/BKText.h"
#include "basekit/BKTime.h"
#include "dialogkit/DGAnswers.h"

#include <gtest/gtest.h>

#include <string>

class FixedClockTest : public ::testing::Test {
protected:
    // 2009-03-02 10:30, a Monday.
    static int32_t FixedNow() { return *BKMakeTime(2009, 3, 2, 10, 30); }
    void SetUp() override {
        BKSetFixedClock(FixedNow());
        DGResetAnswers();
    }
    void TearDown() override {
        BKSetFixedClock(std::nullopt);
        DGResetAnswers();
    }
};

// Windows-1250 text from a UTF-8 literal, for comparing with what the add-on holds.
inline std::string Cp(const char* utf8) { return BKFromUtf8(utf8); }
