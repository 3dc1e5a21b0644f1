#pragma once
// The platform's special folders.
#include "filekit/FKLocation.h"

#include <cstdint>

enum class FKSpecialFolder {
    Home,        // the user's home folder
    Documents,   // where the user keeps documents; the file dialogs' default folder
    Preferences, // where programs keep the user's settings
    Temporary,   // for files that need not outlive the session
    Current,     // the process's working folder
};

// kFKNotFoundErr when the folder cannot be found out or does not exist.
int32_t FKGetSpecialFolder(FKSpecialFolder folder, FKLocation& out);
