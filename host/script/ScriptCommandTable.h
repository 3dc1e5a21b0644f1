#pragma once
// Every script command, declared once: its name, how many arguments it takes, the usage a wrong
// count is told, its lines in `quorvel --help`, and the function that runs it. The interpreter
// runs the commands of this table alone, and the help's command list is made from it.
#include "host/script/ScriptInterpreter.h"

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using ScriptCommandBody = bool (*)(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);

struct ScriptCommand {
    static constexpr size_t kAnyCount = std::numeric_limits<size_t>::max();

    std::string_view name;
    size_t fewestArgs = 0;
    size_t mostArgs = kAnyCount;
    std::string_view usage; // after "usage: "
    // Its lines in the help's command list, each ending in a line break; empty for a command
    // another's lines show with it (`unlock` beside `lock`).
    std::string_view help;
    ScriptCommandBody body = nullptr;

    // The count checked (a wrong one is told the usage), then the body.
    bool Run(ScriptInterpreter& in, const ScriptArgs& args, std::string& error) const;
};

// In the order the help lists them.
const std::vector<ScriptCommand>& ScriptCommands();
const ScriptCommand* FindScriptCommand(std::string_view name);
// Sets `error` to the command's "usage: ..." and returns false, for a body that finds an
// argument it cannot take.
bool ScriptUsage(std::string_view name, std::string& error);
// The help's command list: every command's lines in the table's order.
std::string ScriptCommandsHelp();
