#pragma once
// Script commands that act as the user on the add-on (its menu, palette and chart, file dialog
// answers, the progress window's stop) as the command table runs them, and the add-on's prints.
#include "host/script/ScriptInterpreter.h"

#include <string>

bool RunStopAt(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunMenu(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunChoose(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunPalette(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunChart(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
// schedule view, status-date: through the palette's controls, as the user would.
bool RunSchedule(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);

// The progress window's lines in the transcript, and its stop pressed at the frame stop-at set.
void AttachAddonListeners(ScriptInterpreter& in);
// print tasks, palette, chart, settings.
void AddAddonPrints(ScriptInterpreter& in);
