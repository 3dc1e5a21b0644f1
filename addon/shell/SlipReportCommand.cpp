#include "shell/SlipReportCommand.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/TaskDB.h"

#include <cstdio>
#include <string>

namespace {

constexpr int16_t kTexts = 32644, kHeading = 9, kTaskLine = 10, kNoBaseline = 11;

std::string Signed(int64_t days) { return (days > 0 ? "+" : "") + std::to_string(days); }

std::string DayText(const DateTime& d) {
    DateTimeFields f;
    if (!d.GetFields(f)) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
    return text;
}

} // namespace

void ReportSlipsCommand(const TaskDB& db) {
    if (db.Baselines().empty()) {
        HostReportWrite(AddonString(kTexts, kNoBaseline).c_str(), 0);
        return;
    }
    const Baseline& b = db.Baselines().back();
    const std::vector<TaskSlip> slips = SlipsAgainst(db.Tasks(), b);
    HostReportWrite(AddonFormat(kTexts, kHeading, {b.name, DayText(b.kept), std::to_string(slips.size())}).c_str(), 0);
    for (const TaskSlip& s : slips) {
        const Task& t = db.Tasks()[s.index];
        HostReportWrite(AddonFormat(kTexts, kTaskLine, {t.Name(), Signed(s.startDays), Signed(s.finishDays)}).c_str(), 0);
    }
}
