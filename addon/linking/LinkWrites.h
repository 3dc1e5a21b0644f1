#pragma once
// Puts worked-out links onto the elements: each element whose slots changed gets its link record
// written, the rest of the record carried through, locked layers and elements opened meanwhile.
#include "linking/ElementFacts.h"
#include "schedule/tasks/IElementDisplay.h"

#include <cstddef>
#include <string>
#include <vector>

// `links`: one per element of `elements`. Inside one undo step named `stepName`, opened only when
// some element's links changed. Returns how many records could not be written (each failure but
// a refusal of user data shows the internal-error alert once).
size_t WriteChangedLinks(IElementDisplay& display, const std::vector<ElementFacts>& elements,
                         const std::vector<ElementLink>& links, const std::string& stepName);
