#pragma once
// Resource alerts: the alert template is looked up in the current resource module; "%s" in its
// texts takes the parameters in order (at most three). Returns the 1-based button pressed,
// or 0 when the alert does not exist.
#include <cstdint>

int DGAlert(int16_t alertId, const char* param1 = nullptr, const char* param2 = nullptr,
            const char* param3 = nullptr);
