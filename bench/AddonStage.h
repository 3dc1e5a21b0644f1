#pragma once
// The add-on on a host of its own, as the benchmarks that drive the display set it up: the host
// current, its operation table handed over, a new project; the schedule and the display beside.
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

struct AddonStage {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};

    AddonStage() {
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        host->NewProject();
    }
    ~AddonStage() {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
    }
    AddonStage(const AddonStage&) = delete;
    AddonStage& operator=(const AddonStage&) = delete;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The elements of the kinds the display shows.
inline size_t Displayable(const HostModel& model) {
    size_t n = 0;
    for (const auto& e : model.Elements()) n += IElementDisplay::IsDisplayableKind(e->Kind()) ? 1 : 0;
    return n;
}
