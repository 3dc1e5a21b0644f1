#pragma once
// A long read's phases for a person watching the headless host at a terminal: a line for each
// phase and, while products are converted, one a second, on standard error. Never on standard
// output, where the transcript goes, and nothing at all when standard error is no terminal, so
// scripts and their checks see no change.
#include "host/ifc/reader/IfcReadProgress.h"

#include <chrono>
#include <cstdio>
#include <memory>

class TerminalReadProgress : public IIfcReadProgress {
public:
    // Lines go to `out` as they are; `name` begins each ("quorvel: ...").
    TerminalReadProgress(std::FILE* out, const char* name);
    // One on standard error when it is a terminal; none otherwise.
    static std::unique_ptr<TerminalReadProgress> ForStandardError(const char* name);

    void ReportPhase(IfcReadPhase phase, size_t done, size_t total) override;
    bool IsCancelled() const override { return false; }

private:
    std::FILE* out_;
    const char* name_;
    std::chrono::steady_clock::time_point start_, lastLine_;
    IfcReadPhase phase_ = IfcReadPhase::CheckingText;
    bool reading_ = false;
};
