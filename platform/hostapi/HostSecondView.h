#ifndef BAUVISTA_HOST_SECOND_VIEW_H
#define BAUVISTA_HOST_SECOND_VIEW_H
/* The second 3D window's operations (kHostSecondViewGet, kHostElementSetSecondLook) and its project event.
 *
 * The second window shows the elements as the first does, save those given a second look: drawn
 * or hidden there, with a material over all faces and a pen for the edges (0: its own) and a
 * look record as
 * HostElementSetLook takes (null: none). Such a look is a view, not the model: neither undo nor
 * the project keeps it, and closing the window forgets it. Shown kHostSecondFollow takes it away;
 * with a null head, from every element. While the window is closed the set answers
 * kHostErrNotAvailable; the get answers whether it is open. */
#include "hostapi/HostAPI.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The second window opened: an add-on that lays looks over elements sets their second looks now. */
#define kHostEventSecondView ((uint32_t)0x20000)

enum { kHostSecondFollow = 0, kHostSecondDrawn = 1, kHostSecondHidden = 2 };
typedef GSErr (*HostSecondViewGetFunc)(uint32_t token, int32_t* open);
typedef GSErr (*HostElementSetSecondLookFunc)(uint32_t token, const uint8_t* headRecord, int32_t shown, int32_t material,
                                              int32_t pen, const uint8_t* lookRecord /* 16 bytes */);

#ifdef __cplusplus
}
#endif
#endif
