#pragma once
// Owners of the host's bracketed states: each is opened by its constructor and closed by its
// destructor, so an exception between the two (even bad_alloc) cannot leave one open.
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"

#include <string>

// One undo step, named as the user sees it.
class HostUndoStep {
public:
    explicit HostUndoStep(const std::string& name) { HostUndoOpen(name.c_str()); }
    ~HostUndoStep() { HostUndoClose(); }
    HostUndoStep(const HostUndoStep&) = delete;
    HostUndoStep& operator=(const HostUndoStep&) = delete;
};

// A run of element changes, which the host redraws once at its end.
class HostChangeRun {
public:
    HostChangeRun() { HostUtility(kHostSelChangesBegin, nullptr, nullptr); }
    ~HostChangeRun() { HostUtility(kHostSelChangesEnd, nullptr, nullptr); }
    HostChangeRun(const HostChangeRun&) = delete;
    HostChangeRun& operator=(const HostChangeRun&) = delete;
};
