#pragma once
// What an element shows in the 3D window, in the words the shared page's test hook uses:
// hidden, model (its own look), work (an add-on's material over its faces), colour #rrggbb,
// ghost #rrggbb T; followed by " grown D" while less than all of a growing element is drawn.
#include <string>

class HostModel;
struct Element;

std::string ElementStateText(HostModel& model, const Element& element);
