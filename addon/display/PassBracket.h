#pragma once
// One display pass, begun by the constructor and ended by the destructor, so that a pass whose
// work throws or returns early is still ended.
#include "display/ElementHider.h"

class PassBracket {
public:
    explicit PassBracket(ElementHider& hider) : hider_(hider) { hider_.BeginPass(); }
    ~PassBracket() { hider_.EndPass(); }
    PassBracket(const PassBracket&) = delete;
    PassBracket& operator=(const PassBracket&) = delete;

private:
    ElementHider& hider_;
};
