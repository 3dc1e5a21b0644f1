#include "desk/DeskSession.h"

#include "basekit/BKTime.h"
#include "desk/MainWindow.h"
#include "host/ops/AddonLoader.h"
#include "host/ops/StartOptions.h"

#include <QPlainTextEdit>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

bool ParseDeskOptions(int argc, char** argv, DeskOptions& options, std::string& error) {
    options.prefs = DefaultPreferencesPath();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "--model") ok = value(options.model);
        else if (a == "--addon") ok = value(options.addon);
        else if (a == "--prefs") ok = value(options.prefs);
        else if (a == "--now") {
            int32_t v = 0;
            ok = value(options.now) && ParseNowOption(options.now, v);
        } else if (a.rfind("-", 0) == 0 && a.size() > 1 && a[1] != '-') {
            continue; // Qt's own options (-platform ...) were taken by QApplication
        } else {
            error = "unknown argument " + a;
            return false;
        }
        if (!ok) {
            error = a + " needs " + (a == "--now" ? "YYYY-MM-DD or YYYY-MM-DDTHH:MM" : "a file");
            return false;
        }
    }
    return true;
}

std::string AddonBesideProgram() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    auto path = exe.parent_path() / "Bauvista.qvx";
    return std::filesystem::exists(path, ec) ? path.string() : std::string();
}

DeskSession::DeskSession() = default;

DeskSession::~DeskSession() {
    if (host_) UnloadAddons(*host_); // the add-on's dialogs go while their windows can follow
    window_.reset();
    if (host_ && Host::Current() == host_.get()) Host::SetCurrent(nullptr);
}

bool DeskSession::Start(const DeskOptions& options, std::string& error) {
    if (!options.now.empty()) {
        int32_t v = 0;
        if (!ParseNowOption(options.now, v)) {
            error = "--now needs YYYY-MM-DD or YYYY-MM-DDTHH:MM";
            return false;
        }
        BKSetFixedClock(v);
    }
    host_ = std::make_unique<Host>(options.prefs);
    Host::SetCurrent(host_.get());
    std::string loadError;
    bool prefsOk = host_->Preferences().Load(loadError);
    host_->NewProject();
    window_ = std::make_unique<MainWindow>(*host_);
    if (!prefsOk) window_->Report()->appendPlainText(QString::fromStdString("error " + loadError));
    std::string addon = options.addon.empty() ? AddonBesideProgram() : options.addon;
    if (!addon.empty() && !LoadAddonModule(*host_, addon, error)) {
        if (!options.addon.empty()) return false;
        window_->Report()->appendPlainText(QString::fromStdString("error " + error));
        error.clear();
    }
    window_->AddAddonMenus();
    if (!options.model.empty()) window_->OpenProjectFile(QString::fromStdString(options.model));
    window_->RefreshAll();
    return true;
}
