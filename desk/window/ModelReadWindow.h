#pragma once
// A model read on a thread of its own while the window goes on: this progress window shows the
// read's phase, the time it has taken and Cancel, and the program's events are answered while
// it waits (it is modal, so no command starts under it). Cancel, Escape and the close box ask
// the read to stop; the window goes once the read has ended.
#include "host/app/ModelRead.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>

class QLabel;
class QProgressBar;
class QPushButton;

class ModelReadWindow : public QDialog, public IIfcReadProgress {
    Q_OBJECT
public:
    ModelReadWindow(const QString& title, QWidget* parent);

    // Runs `read` on a worker thread, the window shown, and gives its result once it ended.
    ModelRead Run(const std::function<ModelRead(IIfcReadProgress&)>& read);
    // As the Cancel button.
    void Cancel();

    // IIfcReadProgress, on the reading thread.
    void ReportPhase(IfcReadPhase phase, size_t done, size_t total) override;
    bool IsCancelled() const override { return cancelled_; }

protected:
    void reject() override;

private:
    void ShowState();

    QLabel* phaseLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* elapsedLabel_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer tick_;
    QElapsedTimer clock_;

    std::mutex mutex_; // guards the phase, done and total the reader reports
    IfcReadPhase phase_ = IfcReadPhase::CheckingText;
    size_t done_ = 0, total_ = 0;
    std::atomic<bool> cancelled_{false};
};
