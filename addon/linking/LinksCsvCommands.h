#pragma once
// The menu's "Kapcsolatok beolvasása..." and "Kapcsolatok kiírása...": links in from a table of
// text other tools wrote, and out as one.
#include "linking/ElementFacts.h"
#include "linking/LinksCsv.h"
#include "schedule/tasks/TaskDB.h"

#include <string>

void ImportLinksCommand(TaskDB& db);
void ExportLinksCommand(TaskDB& db);

// The file's rows linked onto the elements in one undo step, each row under the slot rules; rows
// naming an unknown element or task, and links an element has no room for, are reported with
// their line numbers. `fileName` names the file in the report.
void ImportLinks(TaskDB& db, IElementFacts& facts, const LinksCsv& csv, const std::string& fileName);
// Every link of every element, element by element in slot order.
LinksCsvWriter ExportLinks(const TaskDB& db, IElementFacts& facts);
