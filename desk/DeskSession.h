#pragma once
// One run of the desktop program: the host with its preferences, the main window with the Qt
// dialogs installed, the add-on loaded and its menus in place, the model opened.
#include "host/ops/Host.h"

#include <memory>
#include <string>

class MainWindow;

struct DeskOptions {
    std::string model, addon, prefs;
    std::string now; // YYYY-MM-DD[THH:MM], empty for the wall clock
};

// Reads the command line; false with `error` for a bad one.
bool ParseDeskOptions(int argc, char** argv, DeskOptions& options, std::string& error);
// The add-on module built beside the program, empty when it is not there.
std::string AddonBesideProgram();

class DeskSession {
public:
    DeskSession();
    ~DeskSession();
    DeskSession(const DeskSession&) = delete;
    DeskSession& operator=(const DeskSession&) = delete;

    // Errors that do not end the run (a model that would not open) are shown to the user.
    bool Start(const DeskOptions& options, std::string& error);
    Host& GetHost() { return *host_; }
    MainWindow& Window() { return *window_; }

private:
    std::unique_ptr<Host> host_;
    std::unique_ptr<MainWindow> window_;
};
