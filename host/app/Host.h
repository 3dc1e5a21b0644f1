#pragma once
// The host application: the core the operation table acts on, and the user's commands on the
// open project. Each command sends the project events add-ons listen to.
#include "host/ops/HostCore.h"

#include <string>

class Host : public HostCore {
public:
    using HostCore::HostCore;

    void NewProject();
    // A host project (.qvp), or an IFC model (.ifc, in any case) read into a new untitled
    // project with the view on the whole building. Nothing changes on failure.
    bool OpenProject(const std::string& path, std::string& error);
    // A later revision of the IFC model into the open project (by GlobalId, keeping what the
    // user and the add-ons gave the elements); the undo history is cleared. Nothing changes on failure.
    bool UpdateFromIfc(const std::string& path, std::string& error);
    bool SaveProject(const std::string& path, std::string& error);
    void ShareProject(int16_t userId);
    bool ResetPreferences(std::string& error);
};
