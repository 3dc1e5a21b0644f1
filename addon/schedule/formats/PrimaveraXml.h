#pragma once
// Primavera P6's XML export, one project of it as the schedule, as of its XER export.
#include <string>

class TaskDB;

// As ImportPrimaveraXer.
bool ImportPrimaveraXml(TaskDB& db, const std::string& path);
