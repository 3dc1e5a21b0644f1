#include "desk/window/DeskSession.h"

#include "desk/window/DeskLanguage.h"
#include "desk/window/MainWindow.h"

#include <QPlainTextEdit>
#include <QString>

#include <cstdlib>

class DeskSession::Front : public IHostFront {
public:
    explicit Front(std::unique_ptr<MainWindow>& window) : window_(window) {}
    void Attach(Host& host) override { window_ = std::make_unique<MainWindow>(host); }
    void ShowError(const std::string& text) override {
        window_->Report()->appendPlainText(QString::fromStdString("error " + text));
    }
    void AddonsLoaded() override { window_->AddAddonMenus(); }
    bool OpenModel(const std::string& path) override {
        // The window is there before a long read begins, and answers while it runs.
        if (Host::IsIfcPath(path)) window_->show();
        return window_->OpenProjectFile(QString::fromStdString(path));
    }

private:
    std::unique_ptr<MainWindow>& window_;
};

DeskSession::DeskSession() = default;

DeskSession::~DeskSession() {
    session_.UnloadAddons(); // the add-on's dialogs go while their windows can follow
    session_.EndRecovery();
    window_.reset();
}

bool DeskSession::Start(const DeskOptions& given, std::string& error, StartResult* how) {
    DeskLocale locale = ChooseDeskLocale(given.lang, [](const char* name) { return std::getenv(name); });
    UseDeskLocale(locale);
    DeskOptions options = given;
    options.lang = locale.lang;
    Front front(window_);
    StartResult result = session_.Start(options, front, error);
    if (how) *how = result;
    switch (result) {
    case StartResult::BadClock:
    case StartResult::AddonFailed: return false;
    case StartResult::ModelNotOpened:
    case StartResult::Ready: break;
    }
    window_->RefreshAll();
    if (ProjectRecovery* recovery = session_.Recovery()) {
        recovery->openSaved = [this](const std::string& path) {
            return window_->OpenProjectFile(QString::fromStdString(path));
        };
        recovery->AskAtStart();
        window_->RefreshAll();
    }
    return true;
}
