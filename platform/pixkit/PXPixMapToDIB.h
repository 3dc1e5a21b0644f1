#pragma once
// Conversion of a host picture to a packed device-independent bitmap.
#include "basekit/BKMemory.h"

// A new memory block holding the picture as a packed bitmap: the 40-byte information header,
// the colour table, then the rows bottom-up, each padded to 32 bits. 32-bit pictures give
// 32-bit bitmaps; indexed pictures give 8-bit bitmaps whose colours-used count is 0 when the
// table is full (256 colours). 0 when the picture is damaged or memory runs out; the caller
// disposes of the block.
BKHandle PXPixMapToDIB(BKHandle pixMap);
