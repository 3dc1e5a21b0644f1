#pragma once
// Paints what an owner-drawn cell recorded on its canvas, with the toolkit's rectangle rules:
// right and bottom edges are exclusive.
#include "dialogkit/DGCanvas.h"

class QPainter;

void PaintCanvas(const DGCanvas& canvas, QPainter& painter);
