#pragma once
// A host project that was opened brings back the schedule file it remembers.

// Opens the remembered schedule as "Nyiss projektet..." opens a chosen one, without making the
// project's memory of it a change of the project. A file that is not where the project left it
// is asked about (alert 32534): the user may look for it with the open dialog, which the project
// then remembers, or start with an empty schedule.
void ReopenRememberedSchedule();
