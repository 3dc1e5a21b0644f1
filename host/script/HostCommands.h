#pragma once
// The host's own script commands (project, selection, locks, layers, undo, user data, answers)
// as the command table runs them, and the host's prints.
#include "host/script/ScriptInterpreter.h"

#include <string>

bool RunNew(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunOpen(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunUpdate(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunAddModel(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunRemoveModel(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunSave(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunShared(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunResetPreferences(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunSelect(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunSelectBy(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunSelectWhere(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunLock(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunUnlock(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunLayer(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunUndo(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunRedo(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunUserData(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
bool RunAnswer(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);
// `dialog ID ITEM=VALUE... [press ITEM]...`: ITEM by its number or its name.
bool RunDialog(ScriptInterpreter& in, const ScriptArgs& args, std::string& error);

// print elements, element ID, facts ID, work-schedules, layers, materials, selection, userdata ID.
void AddHostPrints(ScriptInterpreter& in);
