#include "host/script/ScriptInterpreter.h"

#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGDialog.h"
#include "filekit/FKFileDialog.h"
#include "utilkit/UTErrorReport.h"
#include "host/ops/Host.h"
#include "host/script/ScriptLine.h"

#include <istream>
#include <ostream>

ScriptInterpreter::ScriptInterpreter(Host& host, std::ostream& out) : host_(host), out_(out) {
    DGSetAlertListener([this](const DGAlertRecord& r) {
        std::string line = "alert " + std::to_string(r.id) + " " + std::to_string(r.answer);
        for (const auto& p : r.params) line += " " + QuoteForTranscript(BKToUtf8(p));
        Emit(line);
    });
    DGSetDialogListener([this](const DGDialogRecord& r) {
        Emit("dialog " + r.dialogId + (r.confirmed ? " confirmed" : " cancelled"));
    });
    FKSetFileDialogListener([this](const FKFileDialogRecord& r) { Emit(FKFileDialogTranscriptLine(r)); });
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
    commands_["print"] = [this](const Args& args, std::string& error) {
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
    };
    AddHostCommands(*this);
    AddRenderCommands(*this);
    AddAddonCommands(*this);
}

ScriptInterpreter::~ScriptInterpreter() {
    DGSetAlertListener(nullptr);
    DGSetDialogListener(nullptr);
    FKSetFileDialogListener(nullptr);
    UTSetReportListener(nullptr);
    DGSetProgressListener(nullptr);
    DGSetEventPump(nullptr);
    host_.Events() = HostEvents{};
}

void ScriptInterpreter::AddCommand(const std::string& name, Command command) { commands_[name] = std::move(command); }
void ScriptInterpreter::AddPrint(const std::string& what, Command command) { prints_[what] = std::move(command); }

void ScriptInterpreter::Emit(const std::string& line) { out_ << line << "\n"; }

bool ScriptInterpreter::RunLine(const std::string& line) {
    std::string error;
    auto args = SplitScriptLine(line, error);
    if (!args) {
        Emit("error " + error);
        return false;
    }
    if (args->empty()) return true;
    auto it = commands_.find((*args)[0]);
    if (it == commands_.end()) {
        Emit("error unknown command: " + (*args)[0]);
        return false;
    }
    if (!it->second(Args(args->begin() + 1, args->end()), error)) {
        Emit("error " + (error.empty() ? (*args)[0] + " failed" : error));
        return false;
    }
    return true;
}

int ScriptInterpreter::Run(std::istream& in) {
    bool ok = true;
    std::string line;
    while (std::getline(in, line))
        if (!RunLine(line)) ok = false;
    out_.flush();
    return ok && DGUnansweredQuestions() == 0 ? 0 : 1;
}
