#include "hostcalls/ReportHold.h"

#include "hostcalls/HostInterface.h"
#include <utility>

namespace {
ReportHold* gHold = nullptr;
} // namespace

ReportHold::ReportHold() : outer_(gHold) { gHold = this; }

ReportHold::~ReportHold() { gHold = outer_; }

std::vector<std::string> ReportHold::TakeLines() { return std::exchange(lines_, {}); }

void ReportHold::Release() {
    std::vector<std::string> lines = TakeLines();
    ReportHold* self = gHold;
    gHold = outer_;
    for (const std::string& line : lines) HostReportWrite(line.c_str(), 0);
    gHold = self;
}

bool ReportHold::Take(const char* line) {
    if (!gHold) return false;
    gHold->lines_.emplace_back(line);
    return true;
}
