// The schedule saved as Microsoft Project's XML, the save dialog's third kind.
#include "schedule/TaskDB.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "schedule/ProjectXmlDocument.h"
#include "schedule/SaveFailureReport.h"

#include <string>

bool TaskDB::SaveProjectXml(const std::string& path) const {
    int32_t error = kFKNoErr;
    if (WriteProjectXml(path, error)) return true;
    ReportSaveFailure(path, error);
    return false;
}

bool TaskDB::WriteProjectXml(const std::string& path, int32_t& error) const {
    FKLocation location = FKLocation::FromPath8(path);
    if (!location.IsValid()) {
        error = kFKBadNameErr;
        return false;
    }
    std::string name = location.LastPart();
    if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    std::string text = ProjectXmlDocument(tasks_, plans_, name);
    FKReplacementFile file(location);
    if ((error = file.Open()) != kFKNoErr) return false;
    if ((error = file.Write(text.data(), text.size())) != kFKNoErr) return false;
    return (error = file.Commit()) == kFKNoErr;
}
