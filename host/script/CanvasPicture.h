#pragma once
// A toolkit canvas as a picture, painted as the desktop paints it: rectangles with exclusive right
// and bottom edges, lines with both ends, filled polygons, and texts in the DejaVu font.
#include "dialogkit/DGCanvas.h"
#include "host/render/Renderer.h"

Image PaintCanvasPicture(const DGCanvas& canvas);
