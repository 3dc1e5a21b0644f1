#pragma once
// Loading an add-on module: the table exchange, then the entries in the host's order
// (environment check, interface registration, initialisation); unloading tears down only what
// was set up.
#include "host/app/Host.h"

#include <string>

// Loads a module file; on failure nothing stays loaded and `error` says why.
AddonRegistration* LoadAddonModule(Host& host, const std::string& path, std::string& error);
// Runs the entries of an add-on whose exports are at hand (a module, or the add-on linked in).
AddonRegistration* StartAddon(Host& host, AddonSetImportedFuncAddrsFunc setTable,
                              AddonGetExportedFuncAddrsFunc getEntries, std::string& error);
// Teardown of every initialised add-on, then unload of the modules that were loaded.
void UnloadAddons(Host& host);
