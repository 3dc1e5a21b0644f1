#include "shell/ModuleLife.h"

#include "bytes/FixedText.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "shell/ModuleObjects.h"

#include <cstdio>

namespace {
// A function-local text: the load hook may run before the module's global constructors.
std::string& Path() {
    static std::string path;
    return path;
}
void StandardError(const char* line) { std::fputs(line, stderr); }
void (*gDebug)(const char*) = StandardError;
} // namespace

void SetDebugOutput(void (*sink)(const char*)) { gDebug = sink ? sink : StandardError; }
const std::string& ModulePath() { return Path(); }

void ModuleLoaded(const std::string& ownPath) {
    char path[261];
    BKCopyText(path, ownPath);
    Path() = path;
    AddonResModule();
    Module();
}

void ModuleUnloaded() {
    AddonReleaseResModule();
    if (AddonToken() != 0) {
        std::string line = "Abnormal add-on termination (\"" + Path() + "\")\n";
        gDebug(line.c_str());
        SetAddonToken(0);
    }
}
