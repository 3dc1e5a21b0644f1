// Both host programs' command line through the one loop: the shared options, each program's
// own, and what a user reads when one is wrong.
#include "host/app/ProgramCommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

CommandLine Read(const HostProgram& program, std::initializer_list<const char*> args) {
    std::vector<std::string> words{program.name};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return ReadCommandLine(program, static_cast<int>(words.size()), argv.data());
}

TEST(ProgramCommandLine, SharedAndOwnOptionsAreRead) {
    CommandLine s = Read(kScriptProgram, {"--model", "m.ifc", "--addon", "a.qvx", "--prefs", "p", "--now",
                                          "2009-03-20", "--lang", "hu", "--keep-going", "run.qvs"});
    ASSERT_EQ(s.ask, CommandLine::Ask::Run) << s.error;
    EXPECT_EQ(s.start.model, "m.ifc");
    EXPECT_EQ(s.start.addon, "a.qvx");
    EXPECT_EQ(s.start.prefs, "p");
    EXPECT_EQ(s.start.now, "2009-03-20");
    EXPECT_EQ(s.start.lang, "hu");
    EXPECT_TRUE(s.keepGoing);
    EXPECT_EQ(s.script, "run.qvs");
    // No script is standard input, and so is "-"; the preferences have their default place.
    CommandLine none = Read(kScriptProgram, {});
    EXPECT_EQ(none.script, "-");
    EXPECT_EQ(none.start.prefs, DefaultPreferencesPath());
    EXPECT_EQ(Read(kScriptProgram, {"-"}).ask, CommandLine::Ask::Run);
    // Recovery copies: the headless program keeps them only when asked, the desktop always.
    EXPECT_EQ(none.start.recovery, "");
    EXPECT_EQ(Read(kScriptProgram, {"--recovery", "r"}).start.recovery, "r");
    EXPECT_EQ(Read(kDeskProgram, {}).start.recovery, DefaultRecoveryFolder());
    EXPECT_EQ(Read(kScriptProgram, {"--recovery"}).error, "--recovery needs a folder");

    // The desktop leaves the window system's options (and a value after one) to it.
    CommandLine d = Read(kDeskProgram, {"-platform", "offscreen", "--lang", "en", "-reverse", "--model", "h.qvp"});
    ASSERT_EQ(d.ask, CommandLine::Ask::Run) << d.error;
    EXPECT_EQ(d.start.lang, "en");
    EXPECT_EQ(d.start.model, "h.qvp");
}

TEST(ProgramCommandLine, HelpAndVersionEndTheReading) {
    for (const HostProgram* p : {&kScriptProgram, &kDeskProgram}) {
        EXPECT_EQ(Read(*p, {"--help"}).ask, CommandLine::Ask::Help);
        EXPECT_EQ(Read(*p, {"-h"}).ask, CommandLine::Ask::Help);
        EXPECT_EQ(Read(*p, {"--lang", "en", "--version", "--bogus"}).ask, CommandLine::Ask::Version);
    }
    // A fault before them is reported first.
    EXPECT_EQ(Read(kScriptProgram, {"--bogus", "--help"}).ask, CommandLine::Ask::Bad);
}

TEST(ProgramCommandLine, AFaultSaysWhatIsWrong) {
    struct Case {
        const HostProgram* program;
        std::initializer_list<const char*> args;
        const char* error;
    };
    const Case cases[] = {
        {&kScriptProgram, {"--frobnicate"}, "unknown option --frobnicate"},
        {&kScriptProgram, {"-x"}, "unknown option -x"},
        {&kScriptProgram, {"a.qvs", "b.qvs"}, "only one script"},
        {&kScriptProgram, {"--model"}, "--model needs a file"},
        {&kScriptProgram, {"--prefs"}, "--prefs needs a file"},
        {&kScriptProgram, {"--now"}, "--now needs YYYY-MM-DD or YYYY-MM-DDTHH:MM"},
        {&kScriptProgram, {"--lang", "de"}, "--lang needs hu or en"},
        {&kDeskProgram, {"--keep-going"}, "unknown option --keep-going"},
        {&kDeskProgram, {"stray.qvs"}, "unknown argument stray.qvs"},
        {&kDeskProgram, {"--addon"}, "--addon needs a file"},
    };
    for (const Case& c : cases) {
        CommandLine line = Read(*c.program, c.args);
        EXPECT_EQ(line.ask, CommandLine::Ask::Bad) << c.error;
        EXPECT_EQ(line.error, c.error);
    }
    EXPECT_EQ(UsageError(kDeskProgram, "unknown argument stray.qvs"),
              "quorvel-desk: unknown argument stray.qvs\n"
              "usage: quorvel-desk [--model FILE] [--addon FILE] [--prefs FILE] [--now YYYY-MM-DD[THH:MM]]\n"
              "                    [--lang hu|en] [--recovery DIR] [Qt options]\n"
              "       quorvel-desk --help | --version\n");
}

// The help tells every option the loop reads, each once, for both programs.
TEST(ProgramCommandLine, HelpListsEveryOption) {
    for (const HostProgram* p : {&kScriptProgram, &kDeskProgram}) {
        std::string help = ProgramHelp(*p);
        EXPECT_EQ(help.rfind(ProgramSynopsis(*p), 0), 0u);
        for (const char* option : {"--model FILE", "--addon FILE", "--prefs FILE", "--now DATE", "--lang hu|en"})
            EXPECT_NE(help.find(std::string("\n  ") + option + " "), std::string::npos) << p->name << " " << option;
        EXPECT_EQ(help.find("--keep-going") != std::string::npos, p->runsScript) << p->name;
    }
}

} // namespace
