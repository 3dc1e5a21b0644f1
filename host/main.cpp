// quorvel: the stand-in host program. Runs a script against a building model.
#include "dialogkit/DGAnswers.h"
#include "host/app/HostSession.h"
#include "host/app/LargeHeapPages.h"
#include "host/script/ScriptHelp.h"
#include "host/script/ScriptInterpreter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

int Usage(const std::string& message) {
    std::fprintf(stderr, "quorvel: %s\nusage: quorvel [--model FILE] [--addon FILE] [--prefs FILE] "
                         "[--now YYYY-MM-DD[THH:MM]] [--lang hu|en] [--keep-going] [SCRIPT|-]\n"
                         "       quorvel --help | --version\n", message.c_str());
    return 2;
}

// The transcript is the headless program's face: failures that do not end the run are lines of it.
class ScriptFront : public IHostFront {
public:
    void Attach(Host& host) override { interpreter = std::make_unique<ScriptInterpreter>(host, std::cout); }
    void ShowError(const std::string& text) override { std::cout << "error " << text << "\n"; }
    bool OpenModel(const std::string& path) override {
        std::string error;
        if (interpreter->GetHost().OpenProject(path, error)) return true;
        ShowError(error);
        return false;
    }
    std::unique_ptr<ScriptInterpreter> interpreter;
};

} // namespace

int main(int argc, char** argv) {
    RestartWithLargeHeapPages(argv);
    StartOptions options;
    options.prefs = DefaultPreferencesPath();
    std::string script = "-", error;
    bool scriptGiven = false, keepGoing = false;
    for (int i = 1; i < argc; ++i) {
        switch (ReadStartOption(argc, argv, i, options, error)) {
        case OptionRead::Taken: continue;
        case OptionRead::Bad: return Usage(error);
        case OptionRead::NotMine: break;
        }
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(QuorvelHelpText().c_str(), stdout);
            return 0;
        }
        if (a == "--keep-going") {
            keepGoing = true;
            continue;
        }
        if (a == "--version") {
            std::printf("quorvel %s\n", kQuorvelVersion);
            return 0;
        }
        if (!a.empty() && a[0] == '-' && a != "-") return Usage("unknown option " + a);
        if (scriptGiven) return Usage("only one script");
        script = a;
        scriptGiven = true;
    }
    std::ifstream scriptFile;
    if (script != "-") {
        scriptFile.open(script);
        if (!scriptFile) return Usage("cannot read " + script);
    }

    // The interpreter goes before the host it writes to; the add-ons go before both.
    HostSession session;
    ScriptFront front;
    int status = 0;
    switch (session.Start(options, front, error)) {
    case StartResult::BadClock: return Usage(error);
    case StartResult::AddonFailed: front.ShowError(error); return 1;
    case StartResult::ModelNotOpened: status = 1; break;
    case StartResult::Ready:
        front.interpreter->SetKeepGoing(keepGoing);
        status = front.interpreter->Run(script == "-" ? std::cin : scriptFile);
        break;
    }
    session.UnloadAddons();
    if (!front.interpreter->Finish() || DGUnansweredQuestions() > 0) status = 1;
    std::cout.flush();
    return status;
}
