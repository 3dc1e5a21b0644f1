#pragma once
// Pictures of the host's windows and its view (render, view fit) as the command table runs them.
#include "host/script/ScriptInterpreter.h"

#include <string>

bool RunRender(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunView(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
