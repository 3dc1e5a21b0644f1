#pragma once
// The pens, materials and flags an element made from an IFC product holds in its kind's own
// record fields, filled as a drawn element of that kind has them: contour and other pens,
// every surface material, the kind's flags set.
#include "host/model/Element.h"

// `material` goes to every material field of the kind; kinds without one take only pens and flags.
void FillKindFields(Element& element, int16_t material);
// Whether the kind has material fields at all (zones have none).
bool KindTakesMaterial(int32_t kind);
