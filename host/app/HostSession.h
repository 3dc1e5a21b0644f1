#pragma once
// One run of a host program, the same start-up for the headless one and the desktop: the clock
// ("--now"), the host made current with its preferences and an empty project, the program's
// front (the script interpreter, the main window), the add-on (the one named, or the one built
// beside the program), the model. The end unloads the add-ons while the front can still answer
// what their teardown asks; the host goes last.
#include "host/app/Host.h"
#include "host/app/ProjectRecovery.h"
#include "host/app/StartOptions.h"

#include <memory>
#include <string>

// What the program adds to the start-up.
class IHostFront {
public:
    virtual ~IHostFront() = default;
    // The program's own part, made once the host is current.
    virtual void Attach(Host& host) = 0;
    // A failure that does not end the run.
    virtual void ShowError(const std::string& text) = 0;
    virtual void AddonsLoaded() {}
    // Opens the model named on the command line; false when it did not open (already shown).
    virtual bool OpenModel(const std::string& path) = 0;
};

enum class StartResult {
    Ready,
    ModelNotOpened, // shown to the user; the host runs with an empty project
    BadClock,       // "--now" is no date: a usage error
    AddonFailed,    // the add-on named on the command line did not load; `error` says why
};

class HostSession {
public:
    HostSession() = default;
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    StartResult Start(const StartOptions& options, IHostFront& front, std::string& error);
    Host& GetHost() { return *host_; }
    bool Started() const { return host_ != nullptr; }
    // Tears the add-ons down; the host stays until the session goes. Safe to call twice.
    void UnloadAddons();
    // The recovery copies, with "--recovery" (the front asks AskAtStart when it is ready).
    ProjectRecovery* Recovery() { return recovery_.get(); }
    // A normal end, after the add-ons' teardown: the run's recovery copy goes.
    void EndRecovery();

private:
    std::unique_ptr<Host> host_;
    std::unique_ptr<ProjectRecovery> recovery_; // goes before the host it copies
};

// The add-on module built beside the running program, empty when it is not there.
std::string AddonBesideProgram();
