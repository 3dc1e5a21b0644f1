// quorvel: the stand-in host program. Runs a script against a building model.
#include "dialogkit/DGAnswers.h"
#include "host/app/HostSession.h"
#include "host/app/LargeHeapPages.h"
#include "host/app/ProgramCommandLine.h"
#include "host/app/TerminalReadProgress.h"
#include "host/script/CommandLineMovie.h"
#include "host/script/ScriptHelp.h"
#include "host/script/ScriptInterpreter.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// The transcript is the headless program's face: failures that do not end the run are lines of it.
class ScriptFront : public IHostFront {
public:
    explicit ScriptFront(std::ostream& transcript = std::cout) : transcript_(transcript) {}
    void Attach(Host& host) override {
        interpreter = std::make_unique<ScriptInterpreter>(host, transcript_);
        // A person at a terminal sees a long read's phases; the transcript does not.
        readProgress = TerminalReadProgress::ForStandardError("quorvel");
        host.readProgress = readProgress.get();
    }
    void ShowError(const std::string& text) override { transcript_ << "error " << text << "\n"; }
    bool OpenModel(const std::string& path) override {
        std::string error;
        if (interpreter->GetHost().OpenProject(path, error)) return true;
        ShowError(error);
        return false;
    }
    std::unique_ptr<TerminalReadProgress> readProgress;
    std::unique_ptr<ScriptInterpreter> interpreter;

private:
    std::ostream& transcript_;
};

// The movie or the shared page of the command line: made in a preference store of its own, so
// that a night's run takes nothing from the desktop's last movie, and the file is there whole or
// not at all.
int MakeFromCommandLine(CommandLine& line) {
    const bool web = line.movie.WebAsked();
    const char* option = web ? "--web" : "--movie";
    if (line.start.model.empty()) return FailUsage(kScriptProgram, std::string(option) + " needs --model FILE");
    std::error_code ec;
    auto folder = std::filesystem::temp_directory_path(ec) / ("quorvel-movie-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder, ec);
    line.start.prefs = (folder / "preferences").string();
    std::string& target = web ? line.movie.web : line.movie.out;
    std::filesystem::path out = std::filesystem::absolute(target, ec);
    if (!ec) target = out.string();

    MovieTranscriptWatch watch(std::cerr, web ? "page" : "frame");
    std::ostream transcript(&watch);
    HostSession session;
    ScriptFront front(transcript);
    std::string error;
    int status = 0;
    switch (session.Start(line.start, front, error)) {
    case StartResult::BadClock: return FailUsage(kScriptProgram, error);
    case StartResult::AddonFailed: std::cerr << "quorvel: " << error << "\n"; return 1;
    case StartResult::ModelNotOpened: status = 1; break;
    case StartResult::Ready: {
        std::string schedule = MovieScheduleOf(line.movie, line.start.model);
        if (schedule.empty()) {
            std::cerr << "quorvel: no schedule for the " << (web ? "page" : "movie")
                      << ": give --schedule FILE (or keep FILE.csp beside the model)\n";
            status = 1;
            break;
        }
        std::istringstream script(web ? WebPageScript(line.movie, schedule) : MovieScript(line.movie, schedule));
        status = front.interpreter->Run(script);
        break;
    }
    }
    session.UnloadAddons();
    if (!front.interpreter->Finish() || DGUnansweredQuestions() > 0) status = 1;
    transcript.flush();
    std::filesystem::remove_all(folder, ec);
    // The page says it is written by no alert: any alert is its failure.
    const bool made = web ? !watch.Alerted() : watch.Made();
    if (status == 0 && made && std::filesystem::exists(target, ec)) {
        std::cerr << "quorvel: made " << target << "\n";
        return 0;
    }
    std::cerr << "quorvel: the " << (web ? "page " : "movie ") << target << " could not be made\n" << watch.Trouble();
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    RestartWithLargeHeapPages(argv);
    CommandLine line = ReadCommandLine(kScriptProgram, argc, argv);
    if (line.ask != CommandLine::Ask::Run) return AnswerCommandLine(kScriptProgram, line, QuorvelHelpText());
    if (line.movie.Asked() || line.movie.WebAsked()) return MakeFromCommandLine(line);
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
