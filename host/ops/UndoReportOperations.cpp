// Undo steps and report lines.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "host/ops/GraphicsOperations.h"
#include "host/ops/HostCore.h"
#include "host/ops/LibPartOperations.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include <cstring>
#include <span>

#include <cstring>
#include <span>

using namespace hostops;

namespace hostops {

GSErr OpUndoOpen(uint32_t token, const char* name) {
    Call c(token);
    if (!c || !name) return kHostErrBadParameter;
    return c.Model().Undo().Open(name) ? kHostNoError : kHostErrNotInUndoStep;
}

GSErr OpUndoClose(uint32_t token) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    HostModel& m = c.Model();
    auto name = m.CloseUndoStep();
    if (!name) return kHostErrNotInUndoStep;
    if (c.host->Events().undoStep) c.host->Events().undoStep(*name);
    return kHostNoError;
}

GSErr OpReportWrite(uint32_t token, const char* text, int32_t) {
    Call c(token);
    if (!c || !text) return kHostErrBadParameter;
    c.host->WriteReport(text);
    return kHostNoError;
}

} // namespace hostops
