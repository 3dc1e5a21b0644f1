// The movie of the command line: its options read with the program's others, what a wrong one
// says, and the script that answers the add-on's dialogs for it.
#include "host/app/ProgramCommandLine.h"
#include "host/script/CommandLineMovie.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

CommandLine Read(const std::vector<const char*>& args) {
    std::vector<std::string> words{"quorvel"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return ReadCommandLine(kScriptProgram, static_cast<int>(words.size()), argv.data());
}

TEST(CommandLineMovie, TheOptionsAreReadAndAWrongOneSaysWhy) {
    CommandLine line = Read({"--model", "m.qvp", "--movie", "ki.mp4", "--size", "1920x1080", "--fps", "30", "--seconds",
                             "40", "--from", "2009-03-02", "--to", "2009-06-30", "--overlay", "date,gantt,tasks",
                             "--title", "Ház", "--view", "planned"});
    ASSERT_EQ(line.ask, CommandLine::Ask::Run) << line.error;
    const MovieRequest& r = line.movie;
    EXPECT_TRUE(r.Asked());
    EXPECT_EQ(r.out, "ki.mp4");
    EXPECT_EQ(r.width, 1920);
    EXPECT_EQ(r.height, 1080);
    EXPECT_EQ(r.fps, 30);
    EXPECT_EQ(r.seconds, 40);
    EXPECT_EQ(r.from, "2009-03-02");
    EXPECT_EQ(r.overlays, 1 | 16 | 2);
    EXPECT_EQ(r.title, "Ház");

    const std::pair<std::vector<const char*>, const char*> bad[] = {
        {{"--movie", "a.mp4", "--size", "800x600"}, "--size takes 1280x720, 1920x1080 or 3840x2160"},
        {{"--movie", "a.mp4", "--fps", "29"}, "--fps takes 1, 10, 24, 25, 30 or 60"},
        {{"--movie", "a.mp4", "--fps", "+30"}, "--fps takes 1, 10, 24, 25, 30 or 60"},
        {{"--movie", "a.mp4", "--seconds", "0"}, "--seconds takes a whole number from 1 to 3600"},
        {{"--movie", "a.mp4", "--from", "2009-02-30"}, "--from needs a date YYYY-MM-DD"},
        {{"--movie", "a.mp4", "--overlay", "date,,gantt"}, "--overlay takes date,tasks,legend,progress,gantt,title; not \"\""},
        {{"--movie", "a.mp4", "--view", "later"}, "--view takes planned, actual or compare"},
        {{"--movie", ""}, "--movie needs a file"},
        {{"--fps", "30"}, "the movie's options need --movie FILE"},
        {{"--movie", "a.mp4", "run.qvs"}, "--movie runs no script"},
        {{"--movie"}, "--movie needs a value"},
    };
    for (const auto& [args, error] : bad) {
        CommandLine l = Read(args);
        EXPECT_EQ(l.ask, CommandLine::Ask::Bad) << error;
        EXPECT_EQ(l.error, error);
    }
    // The desktop takes none of them.
    std::vector<std::string> words{"quorvel-desk", "--movie", "a.mp4"};
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    EXPECT_EQ(ReadCommandLine(kDeskProgram, 3, argv.data()).error, "unknown option --movie");
}

TEST(CommandLineMovie, TheScriptAnswersTheDialogsAsThePlannerWould) {
    MovieRequest r;
    r.out = "/tmp/ki \"1\".mp4";
    r.width = 1280, r.height = 720, r.fps = 25, r.seconds = 12, r.from = "2009-03-02", r.overlays = 1 | 32;
    r.title = "Ház", r.view = "compare";
    EXPECT_EQ(MovieScript(r, "/x/terv.csp"),
              "choose \"/x/terv.csp\" 0\nmenu 3\nschedule view compare\n"
              "dialog 32510 timing=2 seconds=12 fps=5 size=2 date=1 tasks=0 legend=0 progress=0 gantt=0 title=1 "
              "title-text=\"Ház\"\n"
              "dialog 32503 start=2009-03-02 source#current=1 kind=3 press 28 press 1\n"
              "choose \"/tmp/ki \\\"1\\\".mp4\"\nmenu 6\n");
    // A frame a day at the step movie's rate; an AVI answers its compression dialog.
    MovieRequest avi;
    avi.out = "k.AVI";
    std::string s = MovieScript(avi, "t.txt");
    EXPECT_EQ(s.rfind("choose \"t.txt\" 1\n", 0), 0u);
    EXPECT_NE(s.find("timing=1 fps=1 size=1 "), std::string::npos);
    EXPECT_NE(s.find("kind=2 "), std::string::npos);
    EXPECT_NE(s.find("dialog avi-options\nmenu 6\n"), std::string::npos);
}

TEST(CommandLineMovie, TheScheduleIsTheOneGivenOrTheModelsNamesake) {
    auto dir = std::filesystem::temp_directory_path() / ("bv-clmovie-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    MovieRequest r;
    EXPECT_EQ(MovieScheduleOf(r, (dir / "haz.qvp").string()), "");
    std::ofstream(dir / "haz.csp") << "x";
    EXPECT_EQ(MovieScheduleOf(r, (dir / "haz.qvp").string()), (dir / "haz.csp").string());
    r.schedule = "own.txt";
    EXPECT_EQ(MovieScheduleOf(r, (dir / "haz.qvp").string()), "own.txt");
    std::filesystem::remove_all(dir);

    // The transcript's progress is passed on, the made alert noted, trouble kept.
    std::ostringstream errors;
    MovieTranscriptWatch watch(errors);
    std::ostream transcript(&watch);
    transcript << "menu-text 1 x\nprogress 1/2\nreport Nem írható: x\nprogress 2/2\nalert 32524 1\n";
    EXPECT_EQ(errors.str(), "quorvel: frame 1/2\nquorvel: frame 2/2\n");
    EXPECT_TRUE(watch.Made());
    EXPECT_EQ(watch.Trouble(), "report Nem írható: x\n");
}

} // namespace
