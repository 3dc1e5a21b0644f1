#pragma once
// Whether the model shown at one date can look different at a later one. It cannot when no task
// starts or finishes between them and none runs at either: every task then stands on the same
// side of its dates, and nothing grows or fades. A timed movie's frames in such a span need no
// display pass and take the picture before them again.
#include "schedule/tasks/DateTime.h"

class TaskDB;

// True when nothing the display shows can change from `from` to `to` (from not after to).
bool IsQuietSpan(const TaskDB& db, const DateTime& from, const DateTime& to);
