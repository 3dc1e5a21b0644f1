#pragma once
// The warning beep. The headless back-end counts beeps and tells a listener.
#include <cstdint>
#include <functional>

void UTBeep(uint32_t kind); // 0: the default warning sound
int UTBeepCount();
void UTResetBeeps();
void UTSetBeepListener(std::function<void(uint32_t kind)> listener);
