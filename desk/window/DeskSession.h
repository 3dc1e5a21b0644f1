#pragma once
// One run of the desktop program on the host's start-up: the language and locale chosen, the
// main window with the Qt dialogs installed is its front; the add-on's menus go in once it is
// loaded, then the model opens.
#include "host/app/HostSession.h"

#include <memory>
#include <string>

class MainWindow;

using DeskOptions = StartOptions;

class DeskSession {
public:
    DeskSession();
    ~DeskSession();
    DeskSession(const DeskSession&) = delete;
    DeskSession& operator=(const DeskSession&) = delete;

    // Errors that do not end the run (a model that would not open) are shown to the user;
    // false for those that do, with `how` telling a bad command line from a failed add-on.
    // Without "--lang" the user's locale chooses the language.
    bool Start(const DeskOptions& options, std::string& error, StartResult* how = nullptr);
    Host& GetHost() { return session_.GetHost(); }
    MainWindow& Window() { return *window_; }

private:
    class Front;
    HostSession session_;
    std::unique_ptr<MainWindow> window_;
};
