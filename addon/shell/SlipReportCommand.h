#pragma once
// The report of the tasks that moved against the last baseline kept, in the report window.
class TaskDB;

// A heading line with the baseline's name, when it was kept and how many tasks moved, then one
// line a task, worst first; one line saying there is none when no baseline is kept.
void ReportSlipsCommand(const TaskDB& db);
