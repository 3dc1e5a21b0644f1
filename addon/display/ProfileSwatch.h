#pragma once
// A phase's look drawn small, as the profiles list shows it: a colour laid over a checker as the
// model lays it over what stands behind, so its transparency shows as the checker showing through;
// a fade in bands from its start to its finish; hidden as the empty checker struck through; the
// element's own look and its type's in a word.
#include "dialogkit/DGCanvas.h"
#include "display/AppearanceProfile.h"

#include <string>

struct SwatchWords {
    std::string own, type; // 8-bit
};

// The colour at `transparency` percent over a background (toolkit colours, 0x00BBGGRR).
uint32_t BlendOver(ProfileColour colour, uint8_t transparency, uint32_t background);

// Draws the look inside the rectangle (right and bottom exclusive).
void DrawPhaseSwatch(DGCanvas& canvas, const PhaseLook& look, const SwatchWords& words, int32_t left, int32_t top,
                     int32_t right, int32_t bottom);
