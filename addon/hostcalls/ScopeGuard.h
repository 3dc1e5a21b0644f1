#pragma once
// Runs a clean-up step when a scope is left, by the ordinary path or by an exception.
#include <utility>

template <class Step>
class ScopeGuard {
public:
    explicit ScopeGuard(Step step) : step_(std::move(step)) {}
    ~ScopeGuard() {
        if (!armed_) return;
        // Left by an exception (or without Run): the failure that got us here is the one to report,
        // so one of the clean-up itself is dropped.
        try {
            step_();
        } catch (...) {
        }
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    // The ordinary end: the step runs now, and a failure of it goes to the caller.
    void Run() {
        armed_ = false;
        step_();
    }
    void Dismiss() { armed_ = false; }

private:
    Step step_;
    bool armed_ = true;
};
