// The shared module's load and unload hooks; the exports live in the add-on's library.
#include "hostcalls/HostInterface.h"
#include "shell/ModuleLife.h"

#include <dlfcn.h>

namespace {

__attribute__((constructor)) void OnLoad() {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&OnLoad), &info);
    ModuleLoaded(info.dli_fname ? info.dli_fname : "");
}

__attribute__((destructor)) void OnUnload() { ModuleUnloaded(); }

} // namespace
