#pragma once
// A read's progress as a test follows it: every report, the helper processes seen while it
// converts (the reader's children and theirs), and a cancel after so many reports, products or
// so much time.
#include "host/ifc/reader/IfcReadProgress.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>
#include <unistd.h>

namespace ifctest {

// The processes any thread of `pid` started that are still there.
inline std::vector<pid_t> ChildrenOf(pid_t pid) {
    std::vector<pid_t> out;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream children(task.path() / "children");
        pid_t child;
        while (children >> child) out.push_back(child);
    }
    return out;
}

// Gone, or ended and waiting only to be reaped by whoever took it over.
inline bool Alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t paren = line.rfind(')');
    return paren != std::string::npos && paren + 2 < line.size() && line[paren + 2] != 'Z';
}

// Within two seconds.
inline bool AllEnded(const std::set<pid_t>& pids) {
    for (int i = 0; i < 100; ++i) {
        bool any = false;
        for (pid_t pid : pids) any = any || Alive(pid);
        if (!any) return true;
        usleep(20'000);
    }
    return false;
}

class ReadRecorder : public IIfcReadProgress {
public:
    struct Report {
        IfcReadPhase phase;
        size_t done, total;
    };
    std::vector<Report> reports;
    mutable std::set<pid_t> helpers;
    size_t cancelAfterReports = 0;  // 0: never
    size_t cancelAfterProducts = 0; // 0: never
    std::chrono::milliseconds cancelAfter{0};

    void ReportPhase(IfcReadPhase phase, size_t done, size_t total) override {
        reports.push_back({phase, done, total});
        if (phase == IfcReadPhase::Converting) NoteHelpers();
    }
    bool IsCancelled() const override {
        NoteHelpers();
        if (cancelAfterReports && reports.size() >= cancelAfterReports) return true;
        if (cancelAfterProducts && !reports.empty() && reports.back().done >= cancelAfterProducts) return true;
        return cancelAfter.count() > 0 && std::chrono::steady_clock::now() - start_ > cancelAfter;
    }

private:
    void NoteHelpers() const {
        for (pid_t helper : ChildrenOf(getpid())) {
            helpers.insert(helper);
            for (pid_t second : ChildrenOf(helper)) helpers.insert(second);
        }
    }
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace ifctest
