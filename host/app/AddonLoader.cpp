#include "host/app/AddonLoader.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostRegistrationRecord.h"

#include <array>
#include <cstring>
#include <dlfcn.h>

AddonRegistration* StartAddon(Host& host, AddonSetImportedFuncAddrsFunc setTable,
                              AddonGetExportedFuncAddrsFunc getEntries, std::string& error) {
    if (!setTable || !getEntries) {
        error = "the module lacks its exports";
        return nullptr;
    }
    if (setTable(host.Table().data()) != kHostNoError) {
        error = "the module refused the host's table";
        return nullptr;
    }
    HostEntryRecord entries{};
    if (getEntries(reinterpret_cast<uint8_t*>(&entries)) != kHostNoError || entries.signature != kHostEntrySignature ||
        !entries.checkEnvironment || !entries.registerInterface || !entries.initialize || !entries.freeData) {
        error = "the module's entry table is not usable";
        return nullptr;
    }
    // Same major version, and nothing newer than this host offers.
    if (entries.hostVersion / 1000 != kHostEntryVersion / 1000 || entries.hostVersion > kHostEntryVersion) {
        error = "the add-on was made for host version " + std::to_string(entries.hostVersion) + ", this host is " +
                std::to_string(kHostEntryVersion);
        return nullptr;
    }
    std::array<uint8_t, HostEnvironmentRecord::kSize> env{};
    if (entries.checkEnvironment(env.data()) == 0) {
        error = "the add-on declined to run";
        return nullptr;
    }
    std::string name(LE::GetText(env, HostEnvironmentRecord::kName, HostEnvironmentRecord::kTextSize));
    if (name.empty()) {
        error = "the add-on gave no name";
        return nullptr;
    }
    AddonRegistration& reg = host.AddAddon(name);
    reg.entries = entries;
    host.SetPendingRegistration(&reg);
    GSErr err = entries.registerInterface();
    host.SetPendingRegistration(nullptr);
    if (err != kHostNoError) {
        error = "the add-on's registration failed (" + std::to_string(err) + ")";
        host.RemoveAddon(reg.token);
        return nullptr;
    }
    err = entries.initialize(reg.token);
    if (err != kHostNoError) {
        error = "the add-on's initialisation failed (" + std::to_string(err) + ")";
        host.RemoveAddon(reg.token);
        return nullptr;
    }
    reg.initialized = true;
    return &reg;
}

AddonRegistration* LoadAddonModule(Host& host, const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        error = path + ": " + (why ? why : "cannot be loaded");
        return nullptr;
    }
    auto setTable = reinterpret_cast<AddonSetImportedFuncAddrsFunc>(dlsym(module, "SetImportedFuncAddrs"));
    auto getEntries = reinterpret_cast<AddonGetExportedFuncAddrsFunc>(dlsym(module, "GetExportedFuncAddrs"));
    AddonRegistration* reg = StartAddon(host, setTable, getEntries, error);
    if (!reg) {
        error = path + ": " + error;
        dlclose(module);
        return nullptr;
    }
    reg->module = module;
    reg->describe = reinterpret_cast<const char* (*)(const char*)>(dlsym(module, "BauvistaDescribe"));
    return reg;
}

void UnloadAddons(Host& host) {
    for (auto& a : host.Addons()) {
        if (a->initialized && a->entries.freeData) a->entries.freeData();
        a->initialized = false;
    }
    for (auto& a : host.Addons()) {
        if (a->module) dlclose(a->module);
        a->module = nullptr;
    }
}
