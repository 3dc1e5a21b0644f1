#pragma once
// The menu's profiles file commands: read a shared set of looks in, write the schedule's out.
#include <string>

class ElementHider;
class TaskDB;

// Reads the file at `path8` into the display's profiles; a refused file shows an alert naming
// the line and changes nothing. True when read.
bool ReadProfilesFile(const std::string& path8, ElementHider& hider);
// Asks for a file, reads it, and shows the model again at the current date when it shows one.
void ReadProfilesCommand(TaskDB& db, ElementHider& hider);
// Asks where, and writes every profile and the types' choices there.
void WriteProfilesCommand(const ElementHider& hider);
