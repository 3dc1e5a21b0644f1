#include "movie/ProgressWindow.h"

#include "movie/MovieOptionsDialog.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonResources.h"

#include <cmath>
#include <cstdio>

namespace {
// The time left's item among the movie's texts.
constexpr int16_t kTimeLeftText = 18;
} // namespace

ProgressWindow::ProgressWindow(int32_t maximum) : ProgressWindow(maximum, {}, AddonString(32609, 1)) {}

ProgressWindow::ProgressWindow(int32_t maximum, const std::string& title, const std::string& format)
    : maximum_(maximum), format_(format) {
    AddonDialogDescription d;
    if (GetAddonDialog(kDialogId, d)) {
        dialog_ = std::make_unique<DGDialog>(kDialogId, title.empty() ? d.title : title, d.width, d.height,
                                             std::move(d.items));
        if (DGItem* bar = dialog_->Item(kBar)) {
            bar->minimum = 0;
            bar->maximum = maximum;
        }
    }
    timeLeftFormat_ = AddonString(MovieOptionsDialog::kTextList, kTimeLeftText);
    if (dialog_) dialog_->SetItemText(kText, FormatText(0));
}

ProgressWindow::~ProgressWindow() = default;

std::string ProgressWindow::FormatText(int32_t frame) const {
    if (format_.empty()) return {};
    // The resource's text takes two numbers in order; only "%d" may appear in it.
    std::string out;
    int32_t numbers[2] = {frame, maximum_};
    size_t used = 0;
    for (size_t i = 0; i < format_.size(); ++i) {
        if (format_[i] == '%' && i + 1 < format_.size() && format_[i + 1] == 'd' && used < 2) {
            out += std::to_string(numbers[used++]);
            ++i;
        } else {
            out.push_back(format_[i]);
        }
    }
    if (out.size() > 511) out.resize(511);
    return out;
}

std::string ProgressWindow::TimeLeftText(const std::string& format, double elapsed, int32_t done, int32_t total) {
    if (done < 1 || total < done || !(elapsed >= 0) || format.empty()) return {};
    auto seconds = static_cast<int64_t>(std::llround(std::min(elapsed / done * (total - done), 1e9)));
    char time[32];
    if (seconds >= 3600)
        std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::snprintf(time, sizeof time, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    std::string out = format;
    size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, time);
    return out;
}

void ProgressWindow::SetFrame(int32_t frame) {
    if (frame != current_ && frame == 1) started_ = std::chrono::steady_clock::now();
    current_ = frame;
    if (!dialog_) return;
    dialog_->SetItemText(kText, FormatText(frame));
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    dialog_->SetItemText(kTimeLeft, TimeLeftText(timeLeftFormat_, elapsed, frame - 1, maximum_));
    dialog_->SetItemValue(kBar, frame);
    // The window's own events (the stop button) are handled while the run goes on.
    DGProcessEvents();
}

ProgressWindowObserver::ProgressWindowObserver(ProgressWindow& window) : window_(&window) {
    if (window.Dialog()) window.Dialog()->Attach(this);
}

ProgressWindowObserver::~ProgressWindowObserver() {
    if (window_ && window_->Dialog()) window_->Dialog()->Detach();
}

void ProgressWindowObserver::ItemClicked(DGDialog&, int16_t item) {
    if (window_ && item == ProgressWindow::kStop) window_->RequestStop();
}

void ProgressWindowObserver::SourceDestroyed(DGDialog& d) {
    d.Detach();
    window_ = nullptr;
}
