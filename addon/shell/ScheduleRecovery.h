#pragma once
// The schedule's part in the host's recovery copies: its unsaved work is written beside the host
// project's copy, and a recovered project brings it back as unsaved work of the file it came from.

// On the host's recovery write: a schedule with unsaved changes is written whole, as a project
// file, where the host says. Nothing is written for a saved schedule: the file it was saved to
// is what the project remembers.
void WriteScheduleRecoveryCopy();
// On the opened event of a recovered project: the schedule copy, when the host has one, becomes
// the open schedule, unsaved, and saves to the file the project remembers (untitled when it
// remembers none). False when there is no copy or it could not be read.
bool ReopenRecoveredSchedule();
