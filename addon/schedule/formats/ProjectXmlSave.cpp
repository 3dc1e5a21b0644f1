#include "schedule/formats/ProjectXmlSave.h"

#include "filekit/FKError.h"
#include "filekit/FKLocation.h"
#include "schedule/files/ScheduleFileSave.h"
#include "schedule/formats/ProjectXmlDocument.h"
#include "schedule/tasks/TaskDB.h"

bool SaveProjectXml(const TaskDB& db, const std::string& path) {
    return SaveScheduleFile(path, [&](FKReplacementFile& file, int32_t& error) {
        std::string name = FKLocation::FromPath8(path).LastPart();
        if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
        const std::string text = ProjectXmlDocument(db.Tasks(), db.Plans(), name);
        return (error = file.Write(text.data(), text.size())) == kFKNoErr;
    });
}
