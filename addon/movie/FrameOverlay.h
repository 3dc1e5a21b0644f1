#pragma once
// Lays out what is drawn into a frame: the chosen boxes (date, running tasks, legend, title) in
// their corners on a see-through white ground, the schedule's progress as a bar along the top,
// and the Gantt strip along the bottom. Sizes follow the picture's height, 720 pixels giving the
// base, so a movie reads alike at 720p and 4K.
#include "movie/OverlayFacts.h"
#include "schedule/tasks/MovieOptions.h"

#include <cstdint>

class DGCanvas;

struct OverlayPlaces {
    int32_t ganttTop = 0, ganttHeight = 0; // no strip when the height is 0
};

// The Gantt strip's place in a picture of the canvas's size (drawn by the caller, under the boxes).
OverlayPlaces PlaceOverlays(const MovieOptions& options, int32_t width, int32_t height);
// Everything but the strip.
void DrawFrameOverlay(const MovieOptions& options, const OverlayFacts& facts, DGCanvas& canvas);
