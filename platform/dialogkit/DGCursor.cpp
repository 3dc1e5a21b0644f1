#include "dialogkit/DGCursor.h"

namespace {
DGCursor gCursor = DGCursor::Arrow;
}

void DGSetCursor(DGCursor cursor) { gCursor = cursor; }
DGCursor DGCurrentCursor() { return gCursor; }
