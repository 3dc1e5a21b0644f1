#pragma once
// Menu item 6: checks the schedule, runs the settings dialog, makes the movie, says how it went.
#include "movie/MovieChartParts.h"

class ElementHider;
class MainDialogCPP;
class TaskDB;

// The palette, when there is one, is hidden while the frames are drawn.
void MakeAnimation(TaskDB& taskDB, ElementHider& hider, MainDialogCPP* palette);
void MakeAnimationCommand();
// The chart's Gantt strip and type colours, for a movie's pictures.
MovieChartParts ChartPartsForMovie();
