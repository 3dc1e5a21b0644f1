#pragma once
// The command line of both host programs, read by one loop and told by one text: the start
// options they share (StartOptions), what each adds (the headless program its script and
// --keep-going, the desktop the window system's own options), --help and --version.
#include "host/app/MovieRequest.h"
#include "host/app/StartOptions.h"

#include <string>

struct HostProgram {
    const char* name;
    bool runsScript;      // [--keep-going] [SCRIPT|-]
    bool windowOptions;   // single-dash options (and a bare word after one) are the window system's
    const char* about;    // what the program does, in --help under the synopsis
    const char* notes;    // in --help under the options
    bool keepsRecoveryCopies = false; // without --recovery, in DefaultRecoveryFolder()
};
extern const HostProgram kScriptProgram; // quorvel
extern const HostProgram kDeskProgram;   // quorvel-desk

struct CommandLine {
    enum class Ask { Run, Help, Version, Bad };
    Ask ask = Ask::Run;
    std::string error; // what is wrong with a Bad one, as the user reads it
    StartOptions start;
    bool keepGoing = false;
    std::string script = "-"; // "-" for standard input
    MovieRequest movie;       // the headless program's movie, instead of a script
};

// Reads the command line up to --help, --version or the first fault.
CommandLine ReadCommandLine(const HostProgram& program, int argc, char** argv);

// "usage: quorvel [--model FILE] ...", wrapped, and "       quorvel --help | --version".
std::string ProgramSynopsis(const HostProgram& program);
// The synopsis, a blank line, what the program does, its options and the notes.
std::string ProgramHelp(const HostProgram& program);
// A bad command line's lines: "quorvel: ERROR" and the synopsis.
std::string UsageError(const HostProgram& program, const std::string& error);

// Prints UsageError on standard error; the exit status of bad usage.
int FailUsage(const HostProgram& program, const std::string& error);
// Answers a command line that does not ask to run: `help` or the version on standard output
// (status 0), a bad one's usage on standard error (status 2).
int AnswerCommandLine(const HostProgram& program, const CommandLine& line, const std::string& help);
