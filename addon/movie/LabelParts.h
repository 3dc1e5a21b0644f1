#pragma once
// The label library parts the add-on carries (FLDR 128 and its FILE resources), handed to
// the host at initialisation so the label object type and its parts exist in the library.

// Registers every part the folder lists; true when all were taken. A part the host refuses
// is skipped and the rest still registered.
bool RegisterLabelParts();
