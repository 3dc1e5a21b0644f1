#pragma once
// A toolkit canvas painted as the desktop paints it: rectangles with exclusive right and bottom
// edges, lines with both ends, filled polygons, and texts in the DejaVu font (at their op's size,
// the dialog font's without one). A fill whose colour has a high byte is seen through by that
// share of 255.
#include "dialogkit/DGCanvas.h"
#include "host/render/Renderer.h"

// On a white picture of the canvas's size.
Image PaintCanvasPicture(const DGCanvas& canvas);
// Over pixels someone else owns, clipped to them.
void PaintCanvas(const DGCanvas& canvas, const PixelView& image);
