#pragma once
// The mouse cursor the user sees; the headless back-end only remembers it.
enum class DGCursor { Arrow, Wait };

void DGSetCursor(DGCursor cursor);
DGCursor DGCurrentCursor();
