#include "host/ops/Host.h"
#include "host/project/HostProjectFile.h"

void Host::NewProject() {
    SendProjectEvent(kHostEventClose, 0);
    auto model = std::make_unique<HostModel>();
    model->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
    EnsureDefaultPens(*model);
    ReplaceModel(std::move(model));
    projectPath.clear();
    sharedProject = false;
    userId = 0;
    SendProjectEvent(kHostEventNewProject, 0);
}

bool Host::OpenProject(const std::string& path, std::string& error) {
    auto loaded = LoadHostProject(path);
    if (!loaded.model) {
        error = loaded.error;
        return false;
    }
    SendProjectEvent(kHostEventClose, 0);
    ReplaceModel(std::move(loaded.model));
    projectPath = path;
    sharedProject = false;
    userId = 0;
    SendProjectEvent(kHostEventOpened, 0);
    return true;
}

bool Host::SaveProject(const std::string& path, std::string& error) {
    if (!SaveHostProject(Model(), path, error)) return false;
    projectPath = path;
    return true;
}

void Host::ShareProject(int16_t id) {
    sharedProject = true;
    userId = id;
    SendProjectEvent(kHostEventOpened, 0);
}

bool Host::ResetPreferences(std::string& error) {
    if (!preferences_.Reset(error)) return false;
    SendProjectEvent(kHostEventPreferencesReset, 2);
    return true;
}
