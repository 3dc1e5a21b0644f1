#pragma once
// The chart's bars around the schedule's current date, drawn as the chart window draws them, for
// a strip along the bottom of a movie frame. The chart is laid out for a picture 720 pixels high
// and its drawing scaled to the frame, so it reads alike at 720p and stays sharp at 4K.
#include <cstdint>

class DGCanvas;
class TaskDB;
struct ChartTexts;

// The strip `width` by `height` pixels of a frame `scale` times 720p, drawn onto `canvas` with
// its top at `top`; the current date sits at two fifths of the width.
void DrawGanttStrip(const TaskDB& db, const ChartTexts& texts, int32_t width, int32_t height, double scale, int32_t top,
                    DGCanvas& canvas);
