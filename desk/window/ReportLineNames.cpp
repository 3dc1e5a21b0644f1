#include "desk/window/ReportLineNames.h"

#include <algorithm>

std::vector<ReportName> NamesInReportLine(const QString& line) {
    static const QString kIdMark = QStringLiteral("(ID: ");
    std::vector<ReportName> names;
    for (qsizetype open = line.indexOf(QLatin1Char('"')); open >= 0;) {
        qsizetype close = line.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0) break;
        bool element = open >= kIdMark.size() && line.mid(open - kIdMark.size(), kIdMark.size()) == kIdMark;
        names.push_back({element ? ReportName::Kind::Element : ReportName::Kind::Task, line.mid(open + 1, close - open - 1),
                         open, close + 1});
        open = line.indexOf(QLatin1Char('"'), close + 1);
    }
    return names;
}

std::vector<ReportName> NamesForClick(const QString& line, qsizetype column) {
    std::vector<ReportName> names = NamesInReportLine(line);
    std::stable_partition(names.begin(), names.end(),
                          [column](const ReportName& n) { return column >= n.begin && column < n.end; });
    return names;
}
