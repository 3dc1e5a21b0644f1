#pragma once
// The schedule saved as Microsoft Project's XML, the save dialog's third kind.
#include <string>

class TaskDB;

// The tasks with their plan; a failure the system caused is reported as every save's.
bool SaveProjectXml(const TaskDB& db, const std::string& path);
