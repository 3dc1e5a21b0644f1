#include "dialogkit/DGAnswers.h"

#include <deque>

namespace {

struct State {
    std::deque<int> alertAnswers;
    std::deque<DGDialogAnswer> dialogAnswers;
    std::vector<DGAlertRecord> alerts;
    std::vector<DGDialogRecord> dialogs;
    int unanswered = 0;
    std::function<void(const DGAlertRecord&)> alertListener;
    std::function<void(const DGDialogRecord&)> dialogListener;
    std::function<void(const std::string&, const std::string&)> refusalListener;
};

State& S() {
    static State* state = new State; // outlives every module that records into it
    return *state;
}

} // namespace

void DGQueueAlertAnswer(int button) { S().alertAnswers.push_back(button); }
void DGQueueDialogAnswer(DGDialogAnswer answer) { S().dialogAnswers.push_back(std::move(answer)); }

void DGResetAnswers() {
    auto& s = S();
    s.alertAnswers.clear();
    s.dialogAnswers.clear();
    s.alerts.clear();
    s.dialogs.clear();
    s.unanswered = 0;
}

size_t DGPendingAlertAnswers() { return S().alertAnswers.size(); }
size_t DGPendingDialogAnswers() { return S().dialogAnswers.size(); }

std::optional<int> DGTakeAlertAnswer() {
    auto& q = S().alertAnswers;
    if (q.empty()) return std::nullopt;
    int answer = q.front();
    q.pop_front();
    return answer;
}

std::optional<DGDialogAnswer> DGTakeDialogAnswer(const std::string& dialogId) {
    auto& q = S().dialogAnswers;
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (it->dialogId == dialogId) {
            DGDialogAnswer answer = std::move(*it);
            q.erase(it);
            return answer;
        }
    }
    return std::nullopt;
}

int DGUnansweredQuestions() { return S().unanswered; }
void DGCountUnansweredQuestion() { ++S().unanswered; }

const std::vector<DGAlertRecord>& DGShownAlerts() { return S().alerts; }
const std::vector<DGDialogRecord>& DGShownDialogs() { return S().dialogs; }

void DGRecordAlert(const DGAlertRecord& record) {
    auto& s = S();
    s.alerts.push_back(record);
    if (s.alertListener) s.alertListener(record);
}

void DGRecordDialog(const DGDialogRecord& record) {
    auto& s = S();
    s.dialogs.push_back(record);
    if (s.dialogListener) s.dialogListener(record);
}

void DGSetAlertListener(std::function<void(const DGAlertRecord&)> listener) {
    S().alertListener = std::move(listener);
}
void DGSetDialogListener(std::function<void(const DGDialogRecord&)> listener) {
    S().dialogListener = std::move(listener);
}
void DGSetDialogRefusalListener(std::function<void(const std::string&, const std::string&)> listener) {
    S().refusalListener = std::move(listener);
}
void DGReportDialogRefusal(const std::string& dialogId, const std::string& reason) {
    if (S().refusalListener) S().refusalListener(dialogId, reason);
}
