#pragma once
// Keeps the report window's lines back while it lives: a drag through the schedule runs the
// checks at every date, and the planner reads what they found once, at the date the drag ends.
#include <string>
#include <vector>

class ReportHold {
public:
    ReportHold();
    ~ReportHold();
    ReportHold(const ReportHold&) = delete;
    ReportHold& operator=(const ReportHold&) = delete;

    // The lines held since the last call; the hold goes on.
    std::vector<std::string> TakeLines();
    // Writes the lines held to the report window now.
    void Release();

    // Called by the report's writer: true when a hold took the line.
    static bool Take(const char* line);

private:
    std::vector<std::string> lines_;
    ReportHold* outer_;
};
