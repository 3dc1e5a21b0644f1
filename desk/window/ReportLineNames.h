#pragma once
// What a report line names that the user can go to. The add-on's checks write an element as
// `'Fal' (ID: "FAL-15")` and a task as its name in double quotes; the line is read as it is
// written, nothing is added to it.
#include <QString>

#include <vector>

struct ReportName {
    enum class Kind { Element, Task };
    Kind kind;
    QString text;             // the element's ID text, or what may be a task's name
    qsizetype begin = 0, end = 0; // the quoted span in the line, quotes included
};

// Every double-quoted text of the line, in order; one after "(ID: " is an element's ID.
std::vector<ReportName> NamesInReportLine(const QString& line);
// The names to try for a click at `column`: the one clicked first, then the others in order.
std::vector<ReportName> NamesForClick(const QString& line, qsizetype column);
