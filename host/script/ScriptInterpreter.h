#pragma once
// Runs script commands against the host and writes the transcript. Commands are registered
// by name; `print` subcommands likewise, so each part of the host adds its own.
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

    void AddCommand(const std::string& name, Command command);
    void AddPrint(const std::string& what, Command command);

    // Runs one line; false when it failed (an `error` line was written).
    bool RunLine(const std::string& line);
    // Runs every line; the exit status: 0 all ran, 1 a command failed or a question went unanswered.
    int Run(std::istream& in);

    void Emit(const std::string& line);
    Host& GetHost() { return host_; }

private:
    Host& host_;
    std::ostream& out_;
    std::map<std::string, Command> commands_;
    std::map<std::string, Command> prints_;
};

// The host's own commands: project, selection, locks, layers, undo, user data, and their prints.
void AddHostCommands(ScriptInterpreter& interpreter);
// Commands that act on the loaded add-on: menu, palette, file dialog answers, and its prints.
void AddAddonCommands(ScriptInterpreter& interpreter);
// Pictures of the host's windows: render.
void AddRenderCommands(ScriptInterpreter& interpreter);
