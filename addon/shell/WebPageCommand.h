#pragma once
// "Megosztás weboldalként...": the open project written as one web page that plays the job in
// any browser, offline.
class ElementHider;
class TaskDB;

// Asks where (beside the schedule, named after it), writes the page with a progress window that
// can stop it, and says in the report window what was written or, in an alert, why not.
void ShareWebPageCommand(const ElementHider& hider, TaskDB& db);
