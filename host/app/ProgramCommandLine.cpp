#include "host/app/ProgramCommandLine.h"

#include "host/resources/HostResources.h"

#include <algorithm>
#include <cstdio>
#include <vector>

const HostProgram kScriptProgram{
    "quorvel", true, false,
    "Runs the script's commands (standard input for - or none) as a user of the host with the\n"
    "add-on loaded (default: Bauvista.qvx beside the program); the transcript goes to standard output.\n",
    "The first line that fails stops the run: a command that failed, a question it left without an\n"
    "answer, or an answer refused while it ran; its `error` line names the script line.\n"
    "Exit status: 0 every command ran; 1 a command failed, a question had no answer, or an answer\n"
    "was refused or never used; 2 bad usage.\n"
    "With --movie the movie is made and nothing else: its progress goes to standard error; exit\n"
    "status 0 when the whole movie is at its path, 1 when it could not be made (the reason on\n"
    "standard error, and no file), 2 bad usage.\n"
    "With --web the shared web page is written and nothing else, with the same exit status: 0 when\n"
    "the whole page is at its path, 1 when it could not be written, 2 bad usage.\n"};

const HostProgram kDeskProgram{
    "quorvel-desk", false, true,
    "The host as a desktop window with the add-on loaded (default: Bauvista.qvx beside the\n"
    "program).\n",
    "Without --lang the language follows the locale (LC_ALL, LC_MESSAGES, LANG): Hungarian for a\n"
    "Hungarian locale, English for any other. Without --recovery the recovery copies go to\n"
    "$XDG_STATE_HOME/quorvel/recovery (~/.local/state/quorvel/recovery).\n",
    true};

namespace {

struct StartOption {
    const char* name;
    const char* synopsisValue;
    const char* helpValue;
    const char* help;
    std::string StartOptions::*field;
};

const StartOption kStartOptions[] = {
    {"--model", "FILE", "FILE", "open this host project (.qvp) or IFC model (.ifc) first", &StartOptions::model},
    {"--addon", "FILE", "FILE", "load this add-on module instead", &StartOptions::addon},
    {"--prefs", "FILE", "FILE", "the preference file (default ~/.config/quorvel/preferences)", &StartOptions::prefs},
    {"--now", "YYYY-MM-DD[THH:MM]", "DATE", "fix the clock at this date (and time)", &StartOptions::now},
    {"--lang", "hu|en", "hu|en", "the host's own texts in Hungarian or English", &StartOptions::lang},
    {"--recovery", "DIR", "DIR", "keep recovery copies of unsaved work in DIR; offer back one a crash left", &StartOptions::recovery},
};

constexpr const char* kKeepGoing = "--keep-going";
// The synopsis wraps before a word that would pass this column.
constexpr size_t kSynopsisWidth = 96;
// Where an option's help text begins.
constexpr size_t kHelpColumn = 17;

std::string NeedsValue(const StartOption& option) {
    std::string name = option.name;
    if (name == "--now") return kNowOptionNeeds;
    if (name == "--lang") return "--lang needs hu or en";
    if (name == "--recovery") return "--recovery needs a folder";
    return name + " needs a file";
}

bool Fits(const StartOption& option, const char* value) {
    return std::string(option.name) != "--lang" || HostLanguageOfCode(value).has_value();
}

std::vector<std::string> SynopsisWords(const HostProgram& program) {
    std::vector<std::string> words;
    for (const StartOption& o : kStartOptions) words.push_back(std::string("[") + o.name + " " + o.synopsisValue + "]");
    if (program.runsScript) {
        words.push_back(std::string("[") + kKeepGoing + "]");
        words.push_back("[SCRIPT|-]");
    }
    if (program.windowOptions) words.push_back("[Qt options]");
    return words;
}

std::string HelpLine(const std::string& option, const std::string& text) {
    std::string line = "  " + option;
    line.resize(std::max(kHelpColumn, line.size() + 1), ' ');
    return line + text + "\n";
}

} // namespace

CommandLine ReadCommandLine(const HostProgram& program, int argc, char** argv) {
    CommandLine line;
    line.start.prefs = DefaultPreferencesPath();
    if (program.keepsRecoveryCopies) line.start.recovery = DefaultRecoveryFolder();
    bool scriptGiven = false, movieOptions = false;
    auto bad = [&line](std::string error) {
        line.ask = CommandLine::Ask::Bad;
        line.error = std::move(error);
        return line;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const StartOption* option = nullptr;
        for (const StartOption& o : kStartOptions)
            if (a == o.name) option = &o;
        if (option) {
            if (i + 1 >= argc || !Fits(*option, argv[i + 1])) return bad(NeedsValue(*option));
            line.start.*(option->field) = argv[++i];
            continue;
        }
        if (a == "--help" || a == "-h") {
            line.ask = CommandLine::Ask::Help;
            return line;
        }
        if (a == "--version") {
            line.ask = CommandLine::Ask::Version;
            return line;
        }
        if (program.runsScript && IsMovieOption(a)) {
            std::string error;
            if (i + 1 >= argc) return bad(a + " needs a value");
            if (!TakeMovieOption(line.movie, a, argv[++i], error)) return bad(error);
            movieOptions = true;
            continue;
        }
        if (program.runsScript && a == kKeepGoing) {
            line.keepGoing = true;
            continue;
        }
        if (program.windowOptions && a.size() > 1 && a[0] == '-' && a[1] != '-') {
            // Left to the window system (Qt's -platform NAME ...), with the value that follows.
            if (i + 1 < argc && argv[i + 1][0] != '-') ++i;
            continue;
        }
        if (!a.empty() && a[0] == '-' && !(program.runsScript && a == "-")) return bad("unknown option " + a);
        if (!program.runsScript) return bad("unknown argument " + a);
        if (scriptGiven) return bad("only one script");
        line.script = a;
        scriptGiven = true;
    }
    if (line.movie.WebAsked()) {
        if (line.movie.Asked()) return bad("--web and --movie are made one at a time");
        if (line.movie.MovieOnlyOptions()) return bad("--web takes only --schedule and --view");
        if (scriptGiven) return bad("--web runs no script");
        return line;
    }
    if (movieOptions && !line.movie.Asked()) return bad("the movie's options need --movie FILE");
    if (line.movie.Asked() && scriptGiven) return bad("--movie runs no script");
    return line;
}

std::string ProgramSynopsis(const HostProgram& program) {
    const std::string head = std::string("usage: ") + program.name;
    std::string text = head, row = head;
    for (const std::string& word : SynopsisWords(program)) {
        if (row.size() + 1 + word.size() > kSynopsisWidth) {
            text += "\n" + std::string(head.size(), ' ');
            row = std::string(head.size(), ' ');
        }
        text += " " + word;
        row += " " + word;
    }
    if (program.runsScript) {
        text += "\n       " + std::string(program.name) + " --model FILE --movie FILE [movie options]";
        text += "\n       " + std::string(program.name) + " --model FILE --web FILE [--schedule FILE] [--view VIEW]";
    }
    return text + "\n       " + program.name + " --help | --version\n";
}

std::string ProgramHelp(const HostProgram& program) {
    std::string text = ProgramSynopsis(program) + "\n" + program.about;
    for (const StartOption& o : kStartOptions) text += HelpLine(std::string(o.name) + " " + o.helpValue, o.help);
    if (program.runsScript) {
        text += HelpLine(kKeepGoing, "run every line even after one failed (for scripts that try several failures)");
        text += "Movie options:\n" + MovieOptionsHelp();
    }
    return text + program.notes;
}

std::string UsageError(const HostProgram& program, const std::string& error) {
    return std::string(program.name) + ": " + error + "\n" + ProgramSynopsis(program);
}

int FailUsage(const HostProgram& program, const std::string& error) {
    std::fputs(UsageError(program, error).c_str(), stderr);
    return 2;
}

int AnswerCommandLine(const HostProgram& program, const CommandLine& line, const std::string& help) {
    switch (line.ask) {
    case CommandLine::Ask::Help: std::fputs(help.c_str(), stdout); return 0;
    case CommandLine::Ask::Version: std::printf("%s %s\n", program.name, kQuorvelVersion); return 0;
    case CommandLine::Ask::Bad: return FailUsage(program, line.error);
    case CommandLine::Ask::Run: break;
    }
    return 0;
}
