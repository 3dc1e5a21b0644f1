#include "desk/window/ModelReadWindow.h"

#include "desk/dialogs/CodePageText.h"
#include "host/app/ReadProgressTexts.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <thread>

namespace {

QString ProgressText(ReadProgressText text) { return FromCodePage(ReadProgressString(text)); }

// The bar's range is an int's; a count beyond it is scaled down.
int BarValue(size_t count, size_t total) {
    constexpr size_t kMax = std::numeric_limits<int>::max();
    if (total <= kMax) return static_cast<int>(count);
    return static_cast<int>(static_cast<double>(count) / static_cast<double>(total) * kMax);
}

} // namespace

ModelReadWindow::ModelReadWindow(const QString& title, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("modelReadWindow"));
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    phaseLabel_ = new QLabel(this);
    phaseLabel_->setObjectName(QStringLiteral("phase"));
    phaseLabel_->setMinimumWidth(360);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progress"));
    elapsedLabel_ = new QLabel(this);
    elapsedLabel_->setObjectName(QStringLiteral("elapsed"));
    cancelButton_ = new QPushButton(ProgressText(ReadProgressText::Cancel), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    connect(cancelButton_, &QPushButton::clicked, this, &ModelReadWindow::Cancel);
    layout->addWidget(phaseLabel_);
    layout->addWidget(bar_);
    layout->addWidget(elapsedLabel_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    tick_.setInterval(100);
    connect(&tick_, &QTimer::timeout, this, &ModelReadWindow::ShowState);
}

ModelRead ModelReadWindow::Run(const std::function<ModelRead(IIfcReadProgress&)>& read) {
    clock_.start();
    ShowState();
    show();
    tick_.start();
    QEventLoop loop;
    ModelRead result;
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        try {
            result = read(*this);
        } catch (const std::exception& e) {
            result = ModelRead();
            result.error = e.what();
        }
        ended = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop ends before the read only when the program quits: the read need not go on.
    if (!ended) cancelled_ = true;
    worker.join();
    tick_.stop();
    hide();
    return result;
}

void ModelReadWindow::Cancel() {
    if (cancelled_.exchange(true)) return;
    cancelButton_->setEnabled(false);
    ShowState();
}

void ModelReadWindow::reject() { Cancel(); }

void ModelReadWindow::ReportPhase(IfcReadPhase phase, size_t done, size_t total) {
    std::lock_guard lock(mutex_);
    phase_ = phase;
    done_ = done;
    total_ = total;
}

void ModelReadWindow::ShowState() {
    IfcReadPhase phase;
    size_t done, total;
    {
        std::lock_guard lock(mutex_);
        phase = phase_;
        done = done_;
        total = total_;
    }
    phaseLabel_->setText(cancelled_ ? ProgressText(ReadProgressText::Cancelling) : FromCodePage(ReadPhaseLine(phase, done, total)));
    if (phase == IfcReadPhase::Converting && total > 0) {
        bar_->setRange(0, BarValue(total, total));
        bar_->setValue(BarValue(std::min(done, total), total));
    } else {
        bar_->setRange(0, 0); // a phase of unknown length
    }
    elapsedLabel_->setText(FromCodePage(ReadElapsedLine(clock_.elapsed() / 1000.0)));
}
