#pragma once
// Runs script commands against the host and writes the transcript. The commands are the rows of
// the command table (ScriptCommandTable.h); `print` subcommands are registered by name, so each
// part of the host adds its own.
#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class Host;

class ScriptInterpreter {
public:
    using Args = std::vector<std::string>;
    // Returns false with `error` set when the command failed.
    using Command = std::function<bool(const Args& args, std::string& error)>;

    ScriptInterpreter(Host& host, std::ostream& out);
    ~ScriptInterpreter();

    void AddPrint(const std::string& what, Command command);
    // `print WHAT ...`: the registered print of that name.
    bool RunPrint(const Args& args, std::string& error);

    // Runs one line; false when it failed (an `error` line was written).
    bool RunLine(const std::string& line);
    // Runs the lines up to the first that fails: a command that failed, a question it left
    // without an answer, or an answer refused while it ran. With `keepGoing` every line runs.
    // The exit status: 0 all ran, 1 a command failed, a question went unanswered or an answer
    // was refused.
    int Run(std::istream& in);
    void SetKeepGoing(bool keepGoing) { keepGoing_ = keepGoing; }
    // A question the program asks as the script begins: after the answers queued at the script's
    // top (`answer`, `choose`, `dialog`), before the first line of any other command.
    void SetStartQuestion(std::function<void()> ask) { startQuestion_ = std::move(ask); }
    // Heard after every line that ran.
    void SetAfterLine(std::function<void()> after) { afterLine_ = std::move(after); }
    // After the add-ons are gone (their teardown may still ask): an `error` line for each queued
    // answer nobody used. False when there was one, or when an answer was refused on the way.
    bool Finish();

    void Emit(const std::string& line);
    Host& GetHost() { return host_; }
    int CurrentLine() const { return line_; }

    // The answer commands note what they queued, so that a refusal or an unused answer, found
    // only later, names the script line that gave it.
    void NoteAlertAnswer(int button);
    void NoteFileAnswer(const std::string& shown, bool cancel);
    void NoteDialogAnswer(const std::string& dialogId);

private:
    struct Queued {
        int line = 0;
        std::string shown; // the answer as the script gave it
        bool cancel = false;
    };
    void LateError(int line, const std::string& text);
    // An `error` line for the line running (a bare one for lines run one by one).
    void LineError(const std::string& text);

    Host& host_;
    std::ostream& out_;
    std::map<std::string, Command> prints_;
    int line_ = 0; // the script line running, from 1
    bool lateErrors_ = false;
    bool keepGoing_ = false;
    bool stopped_ = false; // a line failed and the lines after it did not run
    std::deque<Queued> alertAnswers_, fileAnswers_, dialogAnswers_;
    std::function<void()> startQuestion_, afterLine_;
    void AskStartQuestion();
};

using ScriptArgs = ScriptInterpreter::Args;
