// The question before unsaved changes go.
#include "host/app/Host.h"

#include "basekit/BKText.h"
#include "filekit/FKFileDialog.h"
#include "host/resources/HostResources.h"

#include <filesystem>

namespace {

enum SaveAnswer { kSave = 1, kDontSave = 2 };

} // namespace

std::string Host::ProjectName() const {
    if (projectPath.empty()) return HostString(HostText::Untitled);
    return BKFromUtf8(std::filesystem::path(projectPath).filename().string());
}

bool Host::MayDiscardProject() {
    if (!Model().Modified()) return true;
    switch (ShowHostAlert(HostAlert::SaveChanges, ProjectName())) {
    case kDontSave: return true;
    case kSave: break;
    default: return false;
    }
    std::string path = projectPath;
    if (path.empty()) {
        FKFileDialogSpec spec;
        spec.kind = FKFileDialogKind::Save;
        spec.title = HostString(HostText::ProjectFilter);
        spec.filters = {{HostString(HostText::ProjectFilter), {"qvp"}}};
        spec.startName = BKToUtf8(ProjectName()) + ".qvp";
        FKLocation chosen;
        int32_t filter = 0;
        if (!FKRunFileDialog(spec, chosen, filter)) return false;
        path = chosen.NativePath();
    }
    std::string error;
    if (SaveProject(path, error)) return true;
    if (Events().error) Events().error(error);
    else WriteReport(BKFromUtf8(error));
    return false;
}
