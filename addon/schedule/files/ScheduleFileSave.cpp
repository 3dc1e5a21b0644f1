#include "schedule/files/ScheduleFileSave.h"

#include "filekit/FKError.h"
#include "filekit/FKLocation.h"
#include "schedule/files/SaveFailureReport.h"

bool SaveScheduleFile(const std::string& path, const ScheduleFileWriter& write, const std::function<bool()>& refuses,
                      bool synchronize) {
    const FKLocation location = FKLocation::FromPath8(path);
    int32_t error = kFKNoErr;
    if (!location.IsValid()) {
        error = kFKBadNameErr;
    } else if (refuses && refuses()) {
        return false;
    } else {
        FKReplacementFile file(location);
        if (!synchronize) file.SkipSynchronizing();
        if ((error = file.Open()) == kFKNoErr && write(file, error) && (error = file.Commit()) == kFKNoErr) return true;
    }
    ReportSaveFailure(path, error);
    return false;
}
