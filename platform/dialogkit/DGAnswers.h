#pragma once
// The headless back-end's answers to questions: queued in order by tests and by the host's
// script (`answer`, `dialog`), and a log of what was shown. A question without a queued answer
// gets its cancelling answer and is counted, so a script run can fail on it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct DGAlertRecord {
    int16_t id = 0;
    int16_t kind = 0;
    std::vector<std::string> params; // as passed, 8-bit code page
    std::string title, main, explanation; // with the parameters filled in, 8-bit code page
    std::vector<std::string> buttons;
    int answer = 0;        // 1-based button pressed
    bool fromQueue = false; // false: a one-button alert or a question nobody answered
};

struct DGDialogStep {
    std::string item;
    std::string value;
    bool press = false; // a button press instead of a change
};

struct DGDialogAnswer {
    std::string dialogId;
    std::vector<std::pair<std::string, std::string>> items; // ITEM=VALUE, applied in order
    int press = 1;
    // When given, the user's changes and presses in their order (a dialog may take several
    // presses, e.g. a button that opens another dialog, then OK); `items` and `press` are unused.
    std::vector<DGDialogStep> steps = {};
};

struct DGDialogRecord {
    std::string dialogId;
    bool confirmed = false;
};

void DGQueueAlertAnswer(int button);
void DGQueueDialogAnswer(DGDialogAnswer answer);
// Removes every queued answer and the logs (a fresh start for a test).
void DGResetAnswers();
size_t DGPendingAlertAnswers();
size_t DGPendingDialogAnswers();

// Takes the next queued alert answer, if any.
std::optional<int> DGTakeAlertAnswer();
// Takes the first queued answer for this dialog, if any.
std::optional<DGDialogAnswer> DGTakeDialogAnswer(const std::string& dialogId);

// Questions that had no queued answer since the last reset.
int DGUnansweredQuestions();
void DGCountUnansweredQuestion();

const std::vector<DGAlertRecord>& DGShownAlerts();
const std::vector<DGDialogRecord>& DGShownDialogs();
void DGRecordAlert(const DGAlertRecord& record);
void DGRecordDialog(const DGDialogRecord& record);

// Called after each alert or modal dialog closes (the host's transcript listens here).
void DGSetAlertListener(std::function<void(const DGAlertRecord&)> listener);
void DGSetDialogListener(std::function<void(const DGDialogRecord&)> listener);
// Called when a queued dialog answer cannot be applied as given, with the reason (UTF-8), before
// the dialog's own record; the script names the answer's line from it.
void DGSetDialogRefusalListener(std::function<void(const std::string& dialogId, const std::string& reason)> listener);
void DGReportDialogRefusal(const std::string& dialogId, const std::string& reason);
