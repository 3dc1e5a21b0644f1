#pragma once
// Menu item 6: checks the schedule, runs the settings dialog, makes the movie, says how it went.
class ElementHider;
class MainDialogCPP;
class TaskDB;

// The palette, when there is one, is hidden while the frames are drawn.
void MakeAnimation(TaskDB& taskDB, ElementHider& hider, MainDialogCPP* palette);
void MakeAnimationCommand();
