#pragma once
// Locked layers are open while links change, and locked again however the operation ends.
#include "schedule/tasks/IElementDisplay.h"

class UnlockedLayers {
public:
    explicit UnlockedLayers(IElementDisplay& display) : display_(display) { display_.UnlockLayers(); }
    ~UnlockedLayers() { display_.RelockLayers(); }
    UnlockedLayers(const UnlockedLayers&) = delete;
    UnlockedLayers& operator=(const UnlockedLayers&) = delete;

private:
    IElementDisplay& display_;
};
