#include "host/script/ScriptInterpreter.h"

#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGDialog.h"
#include "filekit/FKFileDialog.h"
#include "host/app/Host.h"
#include "host/script/AddonCommands.h"
#include "host/script/HostCommands.h"
#include "host/script/ScriptCommandTable.h"
#include "host/script/ScriptLine.h"
#include "utilkit/UTErrorReport.h"

#include <istream>
#include <ostream>

namespace {

// The alert as the user reads it, on one line: title, main text and explanation.
std::string AlertComment(const DGAlertRecord& r) {
    std::string text;
    for (const std::string* part : {&r.title, &r.main, &r.explanation}) {
        if (part->empty()) continue;
        if (!text.empty()) text += " | ";
        bool lineBreak = false;
        for (char c : BKToUtf8(*part)) {
            if (c == '\r' || c == '\n') {
                lineBreak = true;
                continue;
            }
            if (lineBreak && !text.empty() && text.back() != ' ') text.push_back(' ');
            lineBreak = false;
            text.push_back(c);
        }
    }
    return "# " + text;
}

// Lines that only queue answers, or nothing at all, come before the start question.
bool QueuesAnswerOnly(const std::string& line) {
    std::string error;
    auto args = SplitScriptLine(line, error);
    if (!args) return false;
    return args->empty() || (*args)[0] == "answer" || (*args)[0] == "choose" || (*args)[0] == "dialog";
}

} // namespace

void ScriptInterpreter::AskStartQuestion() {
    if (!startQuestion_) return;
    auto ask = std::move(startQuestion_);
    startQuestion_ = nullptr;
    ask();
}

ScriptInterpreter::ScriptInterpreter(Host& host, std::ostream& out) : host_(host), out_(out) {
    DGSetAlertListener([this](const DGAlertRecord& r) {
        std::string line = "alert " + std::to_string(r.id) + " " + std::to_string(r.answer);
        for (const auto& p : r.params) line += " " + QuoteForTranscript(BKToUtf8(p));
        Emit(line);
        Emit(AlertComment(r));
        // Only a question takes a queued answer; a refused one is used up all the same.
        if (r.buttons.size() > 1 && !alertAnswers_.empty()) {
            Queued q = alertAnswers_.front();
            alertAnswers_.pop_front();
            if (!r.fromQueue)
                LateError(q.line, "answer " + q.shown + ": alert " + std::to_string(r.id) + " has buttons 1-" +
                                      std::to_string(r.buttons.size()));
        }
    });
    DGSetDialogRefusalListener([this](const std::string& dialogId, const std::string& reason) {
        for (const auto& q : dialogAnswers_)
            if (q.shown == dialogId) return LateError(q.line, "dialog " + dialogId + ": " + reason);
        LateError(0, "dialog " + dialogId + ": " + reason);
    });
    DGSetDialogListener([this](const DGDialogRecord& r) {
        Emit("dialog " + r.dialogId + (r.confirmed ? " confirmed" : " cancelled"));
        for (auto it = dialogAnswers_.begin(); it != dialogAnswers_.end(); ++it)
            if (it->shown == r.dialogId) {
                dialogAnswers_.erase(it);
                break;
            }
    });
    FKSetFileDialogListener([this](const FKFileDialogRecord& r) {
        Emit(FKFileDialogTranscriptLine(r));
        if (!r.fromQueue || fileAnswers_.empty()) return;
        Queued q = fileAnswers_.front();
        fileAnswers_.pop_front();
        if (!r.confirmed && !q.cancel) {
            std::string filters = r.filters.empty() ? "0" : "0-" + std::to_string(r.filters.size() - 1);
            LateError(q.line, "choose " + q.shown + ": the dialog takes a path and a KIND of " + filters);
        }
    });
    // Failures the platform reports to the user (a movie file that cannot be written, ...).
    UTSetReportListener([this](const UTReport& r) { Emit("error " + r.text); });
    host_.Events().error = [this](const std::string& text) { Emit("error " + text); };
    host_.Events().report = [this](const std::string& text) { Emit("report " + BKToUtf8(text)); };
    host_.Events().undoStep = [this](const std::string& name) {
        Emit("undo-step " + QuoteForTranscript(BKToUtf8(name)));
    };
    host_.Events().menuText = [this](int16_t, int32_t item, const std::string& text) {
        Emit("menu-text " + std::to_string(item) + " " + QuoteForTranscript(BKToUtf8(text)));
    };
    AddHostPrints(*this);
    AttachAddonListeners(*this);
    AddAddonPrints(*this);
}

ScriptInterpreter::~ScriptInterpreter() {
    DGSetAlertListener(nullptr);
    DGSetDialogListener(nullptr);
    DGSetDialogRefusalListener(nullptr);
    FKSetFileDialogListener(nullptr);
    UTSetReportListener(nullptr);
    DGSetProgressListener(nullptr);
    DGSetEventPump(nullptr);
    host_.Events() = HostEvents{};
}

void ScriptInterpreter::AddPrint(const std::string& what, Command command) { prints_[what] = std::move(command); }

bool ScriptInterpreter::RunPrint(const Args& args, std::string& error) {
    if (args.empty()) {
        error = "print what?";
        return false;
    }
    auto it = prints_.find(args[0]);
    if (it == prints_.end()) {
        error = "cannot print " + args[0];
        return false;
    }
    return it->second(Args(args.begin() + 1, args.end()), error);
}

void ScriptInterpreter::Emit(const std::string& line) { out_ << line << "\n"; }

bool ScriptInterpreter::RunLine(const std::string& line) {
    std::string error;
    auto args = SplitScriptLine(line, error);
    if (!args) {
        LineError(error);
        return false;
    }
    if (args->empty()) return true;
    const ScriptCommand* command = FindScriptCommand((*args)[0]);
    if (!command) {
        LineError("unknown command: " + (*args)[0]);
        return false;
    }
    if (!command->Run(*this, Args(args->begin() + 1, args->end()), error)) {
        LineError(error.empty() ? (*args)[0] + " failed" : error);
        return false;
    }
    return true;
}

void ScriptInterpreter::LineError(const std::string& text) {
    Emit(line_ > 0 ? "error line " + std::to_string(line_) + ": " + text : "error " + text);
}

int ScriptInterpreter::Run(std::istream& in) {
    bool ok = true;
    std::string line;
    line_ = 0;
    while (std::getline(in, line)) {
        ++line_;
        int unanswered = DGUnansweredQuestions();
        bool lateBefore = lateErrors_;
        if (startQuestion_ && !QueuesAnswerOnly(line)) AskStartQuestion();
        bool ran = RunLine(line);
        if (afterLine_) afterLine_();
        // A question left to its cancelling answer means the command did not do what the script
        // meant: what comes after it would act on the wrong state.
        if (ran && !keepGoing_ && DGUnansweredQuestions() > unanswered) {
            LineError("a question had no answer");
            ran = false;
        }
        if (ran && lateErrors_ == lateBefore) continue;
        ok = false;
        if (!keepGoing_) {
            stopped_ = true;
            break;
        }
    }
    if (startQuestion_ && !stopped_) {
        int unanswered = DGUnansweredQuestions();
        AskStartQuestion();
        if (!keepGoing_ && DGUnansweredQuestions() > unanswered) {
            LineError("a question had no answer");
            ok = false;
        }
    }
    out_.flush();
    return ok && !lateErrors_ && DGUnansweredQuestions() == 0 ? 0 : 1;
}

bool ScriptInterpreter::Finish() {
    // After a stop, answers meant for the lines that did not run are not faults of their own.
    if (stopped_) {
        alertAnswers_.clear();
        fileAnswers_.clear();
        dialogAnswers_.clear();
    }
    for (const auto& q : alertAnswers_) LateError(q.line, "answer " + q.shown + " was never used");
    for (const auto& q : fileAnswers_) LateError(q.line, "choose " + q.shown + " was never used");
    for (const auto& q : dialogAnswers_) LateError(q.line, "dialog " + q.shown + " never opened");
    alertAnswers_.clear();
    fileAnswers_.clear();
    dialogAnswers_.clear();
    out_.flush();
    return !lateErrors_;
}

void ScriptInterpreter::NoteAlertAnswer(int button) { alertAnswers_.push_back({line_, std::to_string(button)}); }
void ScriptInterpreter::NoteFileAnswer(const std::string& shown, bool cancel) {
    fileAnswers_.push_back({line_, shown, cancel});
}
void ScriptInterpreter::NoteDialogAnswer(const std::string& dialogId) { dialogAnswers_.push_back({line_, dialogId}); }

void ScriptInterpreter::LateError(int line, const std::string& text) {
    lateErrors_ = true;
    Emit(line > 0 ? "error line " + std::to_string(line) + ": " + text : "error " + text);
}
