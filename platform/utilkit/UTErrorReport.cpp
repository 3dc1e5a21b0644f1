#include "utilkit/UTErrorReport.h"

#include "utilkit/UTErrorTexts.h"

namespace {

struct State {
    std::vector<UTReport> reports;
    std::function<void(const UTReport&)> listener;
};

State& S() {
    static State state;
    return state;
}

void Record(UTReport report) {
    auto& s = S();
    s.reports.push_back(std::move(report));
    if (s.listener) s.listener(s.reports.back());
}

} // namespace

void UTReportError(int32_t errorNumber) {
    UTReport r;
    r.kind = UTReportKind::ErrorNumber;
    r.number = errorNumber;
    r.text = UTErrorNumberText(errorNumber);
    Record(std::move(r));
}

void UTReportSystemError(int32_t category, int32_t code) {
    UTReport r;
    r.kind = UTReportKind::SystemError;
    r.category = category;
    r.code = code;
    r.text = UTSystemErrorText(category, code);
    Record(std::move(r));
}

const std::vector<UTReport>& UTReports() { return S().reports; }
void UTResetReports() { S().reports.clear(); }
void UTSetReportListener(std::function<void(const UTReport&)> listener) { S().listener = std::move(listener); }
