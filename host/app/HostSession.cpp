#include "host/app/HostSession.h"

#include "basekit/BKTime.h"
#include "host/app/AddonLoader.h"
#include "host/resources/HostResources.h"

#include <filesystem>

std::string AddonBesideProgram() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    auto path = exe.parent_path() / "Bauvista.qvx";
    return std::filesystem::exists(path, ec) ? path.string() : std::string();
}

HostSession::~HostSession() {
    UnloadAddons();
    if (host_) host_->recovery = nullptr;
    recovery_.reset();
    if (host_ && HostCore::Current() == host_.get()) HostCore::SetCurrent(nullptr);
}

void HostSession::UnloadAddons() {
    if (host_) ::UnloadAddons(*host_);
}

void HostSession::EndRecovery() {
    if (recovery_) recovery_->Discard();
}

StartResult HostSession::Start(const StartOptions& options, IHostFront& front, std::string& error) {
    if (!options.now.empty()) {
        int32_t now = 0;
        if (!ParseNowOption(options.now, now)) {
            error = kNowOptionNeeds;
            return StartResult::BadClock;
        }
        BKSetFixedClock(now);
    }
    auto language = HostLanguageOfCode(options.lang);
    SetHostLanguage(language ? *language : HostLanguage::Transcript);
    host_ = std::make_unique<Host>(options.prefs);
    HostCore::SetCurrent(host_.get());
    std::string prefsError;
    bool prefsRead = host_->Preferences().Load(prefsError);
    host_->NewProject();
    if (!options.recovery.empty()) {
        recovery_ = std::make_unique<ProjectRecovery>(*host_, options.recovery);
        host_->recovery = recovery_.get();
    }
    front.Attach(*host_);
    if (!prefsRead) front.ShowError(prefsError);
    std::string addon = options.addon.empty() ? AddonBesideProgram() : options.addon;
    if (!addon.empty() && !LoadAddonModule(*host_, addon, error)) {
        if (!options.addon.empty()) return StartResult::AddonFailed;
        front.ShowError(error);
        error.clear();
    }
    front.AddonsLoaded();
    if (!options.model.empty() && !front.OpenModel(options.model)) return StartResult::ModelNotOpened;
    return StartResult::Ready;
}
