#include "utilkit/UTBeep.h"

namespace {

struct State {
    int count = 0;
    std::function<void(uint32_t)> listener;
};

State& S() {
    static State state;
    return state;
}

} // namespace

void UTBeep(uint32_t kind) {
    auto& s = S();
    ++s.count;
    if (s.listener) s.listener(kind);
}

int UTBeepCount() { return S().count; }
void UTResetBeeps() { S().count = 0; }
void UTSetBeepListener(std::function<void(uint32_t)> listener) { S().listener = std::move(listener); }
