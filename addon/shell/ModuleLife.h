#pragma once
// The module's load and unload, apart from the host's entries: its own path, its resources,
// and the note when it is unloaded without teardown.
#include <string>

void ModuleLoaded(const std::string& ownPath);
void ModuleUnloaded();
const std::string& ModulePath();
// Where the debug line goes (standard error unless replaced).
void SetDebugOutput(void (*sink)(const char* line));
