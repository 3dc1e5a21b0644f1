// quorvel: the stand-in host program. Runs a script against a building model.
#include "dialogkit/DGAnswers.h"
#include "host/app/HostSession.h"
#include "host/app/LargeHeapPages.h"
#include "host/app/ProgramCommandLine.h"
#include "host/app/TerminalReadProgress.h"
#include "host/script/ScriptHelp.h"
#include "host/script/ScriptInterpreter.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

// The transcript is the headless program's face: failures that do not end the run are lines of it.
class ScriptFront : public IHostFront {
public:
    void Attach(Host& host) override {
        interpreter = std::make_unique<ScriptInterpreter>(host, std::cout);
        // A person at a terminal sees a long read's phases; the transcript does not.
        readProgress = TerminalReadProgress::ForStandardError("quorvel");
        host.readProgress = readProgress.get();
    }
    void ShowError(const std::string& text) override { std::cout << "error " << text << "\n"; }
    bool OpenModel(const std::string& path) override {
        std::string error;
        if (interpreter->GetHost().OpenProject(path, error)) return true;
        ShowError(error);
        return false;
    }
    std::unique_ptr<TerminalReadProgress> readProgress;
    std::unique_ptr<ScriptInterpreter> interpreter;
};

} // namespace

int main(int argc, char** argv) {
    RestartWithLargeHeapPages(argv);
    CommandLine line = ReadCommandLine(kScriptProgram, argc, argv);
    if (line.ask != CommandLine::Ask::Run) return AnswerCommandLine(kScriptProgram, line, QuorvelHelpText());
    std::ifstream scriptFile;
    if (line.script != "-") {
        scriptFile.open(line.script);
        if (!scriptFile) return FailUsage(kScriptProgram, "cannot read " + line.script);
    }

    // The interpreter goes before the host it writes to; the add-ons go before both.
    HostSession session;
    ScriptFront front;
    std::string error;
    int status = 0;
    switch (session.Start(line.start, front, error)) {
    case StartResult::BadClock: return FailUsage(kScriptProgram, error);
    case StartResult::AddonFailed: front.ShowError(error); return 1;
    case StartResult::ModelNotOpened: status = 1; break;
    case StartResult::Ready:
        front.interpreter->SetKeepGoing(line.keepGoing);
        if (ProjectRecovery* recovery = session.Recovery()) {
            recovery->SetTimes(0, ProjectRecovery::kLongestSeconds);
            recovery->openSaved = [&front](const std::string& path) { return front.OpenModel(path); };
            front.interpreter->SetStartQuestion([recovery] { recovery->AskAtStart(); });
            front.interpreter->SetAfterLine([recovery] {
                recovery->NoteActivity();
                recovery->Tick(ProjectRecovery::SteadyNow(), true);
            });
        }
        status = front.interpreter->Run(line.script == "-" ? std::cin : scriptFile);
        break;
    }
    session.UnloadAddons();
    session.EndRecovery();
    if (!front.interpreter->Finish() || DGUnansweredQuestions() > 0) status = 1;
    std::cout.flush();
    return status;
}
