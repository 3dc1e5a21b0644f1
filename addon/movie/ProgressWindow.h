#pragma once
// The small window that shows which frame of the movie is being made, with a stop button, and
// from the second frame on the time the rest will take at the pace so far.
#include "dialogkit/DGDialog.h"

#include <chrono>
#include <memory>
#include <string>

class ProgressWindow {
public:
    static constexpr int32_t kDialogId = 32450;
    enum Item : int16_t { kStop = 1, kText = 2, kBar = 3, kTimeLeft = 4 };

    explicit ProgressWindow(int32_t maximum);
    // The same window for other long work: its own title, and a text that takes the step done
    // and the steps in all as the frames' does.
    ProgressWindow(int32_t maximum, const std::string& title, const std::string& format);
    ~ProgressWindow();

    DGDialog* Dialog() { return dialog_.get(); }
    void SetFrame(int32_t frame);
    bool StopRequested() const { return stopRequested_; }
    void RequestStop() { stopRequested_ = true; }
    int32_t Current() const { return current_; }
    // "Hátralévő idő: 1:05" for `done` of `total` frames made in `elapsed` seconds; empty
    // before the first frame is made.
    static std::string TimeLeftText(const std::string& format, double elapsed, int32_t done, int32_t total);

private:
    std::string FormatText(int32_t frame) const;

    std::unique_ptr<DGDialog> dialog_;
    bool stopRequested_ = false;
    int32_t maximum_;
    int32_t current_ = 0;
    std::string format_;
    std::string timeLeftFormat_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

// Turns a click on the stop button into the window's stop flag.
class ProgressWindowObserver : public IDGObserver {
public:
    explicit ProgressWindowObserver(ProgressWindow& window);
    ~ProgressWindowObserver() override;
    void ItemClicked(DGDialog&, int16_t item) override;
    void SourceDestroyed(DGDialog&) override;

private:
    ProgressWindow* window_;
};
