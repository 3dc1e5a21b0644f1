// quorvel: the stand-in host program. Runs a script against a building model.
#include "basekit/BKTime.h"
#include "dialogkit/DGAnswers.h"
#include "host/ops/AddonLoader.h"
#include "host/ops/Host.h"
#include "host/ops/StartOptions.h"
#include "host/script/ScriptHelp.h"
#include "host/script/ScriptInterpreter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

int Usage(const char* message) {
    std::fprintf(stderr, "quorvel: %s\nusage: quorvel [--model FILE] [--addon FILE] [--prefs FILE] "
                         "[--now YYYY-MM-DD[THH:MM]] [SCRIPT|-]\n"
                         "       quorvel --help | --version\n", message);
    return 2;
}

// The add-on built beside the program, when it is there.
std::string DefaultAddonPath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    auto path = exe.parent_path() / "Bauvista.qvx";
    return std::filesystem::exists(path, ec) ? path.string() : std::string();
}

} // namespace

int main(int argc, char** argv) {
    std::string model, addon, prefs = DefaultPreferencesPath(), script = "-";
    bool scriptGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            std::fputs(QuorvelHelpText().c_str(), stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("quorvel %s\n", kQuorvelVersion);
            return 0;
        }
        if (a == "--model") {
            if (!value(model)) return Usage("--model needs a file");
        } else if (a == "--addon") {
            if (!value(addon)) return Usage("--addon needs a file");
        } else if (a == "--prefs") {
            if (!value(prefs)) return Usage("--prefs needs a file");
        } else if (a == "--now") {
            std::string now;
            int32_t v = 0;
            if (!value(now) || !ParseNowOption(now, v)) return Usage("--now needs YYYY-MM-DD or YYYY-MM-DDTHH:MM");
            BKSetFixedClock(v);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return Usage(("unknown option " + a).c_str());
        } else {
            if (scriptGiven) return Usage("only one script");
            script = a;
            scriptGiven = true;
        }
    }

    Host host(prefs);
    Host::SetCurrent(&host);
    std::string error;
    if (!host.Preferences().Load(error)) std::cout << "error " << error << "\n";
    host.NewProject();
    std::ifstream scriptFile;
    if (script != "-") {
        scriptFile.open(script);
        if (!scriptFile) return Usage(("cannot read " + script).c_str());
    }
    ScriptInterpreter interpreter(host, std::cout);
    bool addonGiven = !addon.empty();
    if (!addonGiven) addon = DefaultAddonPath();
    if (!addon.empty() && !LoadAddonModule(host, addon, error)) {
        std::cout << "error " << error << "\n";
        if (addonGiven) {
            UnloadAddons(host);
            return 1;
        }
    }
    int status = 0;
    if (!model.empty() && !host.OpenProject(model, error)) {
        std::cout << "error " << error << "\n";
        status = 1;
    } else {
        status = interpreter.Run(script == "-" ? std::cin : scriptFile);
    }
    UnloadAddons(host);
    if (!interpreter.Finish() || DGUnansweredQuestions() > 0) status = 1;
    std::cout.flush();
    Host::SetCurrent(nullptr);
    return status;
}
