#include "movie/QuietSpan.h"

#include "schedule/tasks/TaskDB.h"

bool IsQuietSpan(const TaskDB& db, const DateTime& from, const DateTime& to) {
    if (to < from) return false;
    for (const Task& t : db.Tasks()) {
        if (!t.IsValid()) continue;
        // Running at either end (a look may follow the progress), or a date of its own between them.
        for (const DateTime& at : {from, to})
            if (t.start < at && at < t.finish) return false;
        for (const DateTime& edge : {t.start, t.finish})
            if (from < edge && edge <= to) return false;
    }
    return true;
}
