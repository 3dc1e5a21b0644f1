#include "host/app/ProjectRecovery.h"

#include "basekit/BKText.h"
#include "host/app/Host.h"
#include "host/project/HostProjectFile.h"
#include "host/resources/HostResources.h"
#include "hostapi/HostEnvironmentRecords.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWriterNiceness = 10;

// A folder no other run has: the time it started and its process.
std::string RunFolderName() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return "run-" + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) + "-" +
           std::to_string(static_cast<long>(::getpid()));
}

// Copies name their project and the add-ons their files wherever the working folder goes.
std::string Absolute(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

} // namespace

ProjectRecovery::ProjectRecovery(Host& host, std::string root, double quietSeconds, double longestSeconds)
    : host_(host), root_(Absolute(root)), folder_((fs::path(root_) / RunFolderName()).string()),
      policy_(quietSeconds, longestSeconds) {
    openSaved = [this](const std::string& path) {
        std::string error;
        if (host_.OpenProject(path, error)) return true;
        host_.WriteReport(BKFromUtf8(error));
        return false;
    };
}

ProjectRecovery::~ProjectRecovery() { Wait(); }

double ProjectRecovery::SteadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ProjectRecovery::Wait() {
    if (worker_.joinable()) worker_.join();
    ReportWriteFailure();
}

void ProjectRecovery::ReportWriteFailure() {
    std::string error;
    {
        std::lock_guard lock(errorLock_);
        error.swap(error_);
    }
    if (error.empty()) return;
    if (host_.Events().error) host_.Events().error("recovery copy not written: " + error);
    else host_.WriteReport(BKFromUtf8("The recovery copy was not written: " + error));
}

uint64_t ProjectRecovery::Stamp() {
    HostModel& m = host_.Model();
    // The model's address tells a project that took another's place.
    uint64_t stamp = m.Undo().Position() * 1000003ULL ^ activity_ * 0x9E3779B97F4A7C15ULL;
    stamp ^= reinterpret_cast<uintptr_t>(&m) * 31ULL;
    return m.Modified() ? stamp ^ 1 : stamp;
}

void ProjectRecovery::Tick(double now, bool wait) {
    lastNow_ = now;
    if (!writing_ && worker_.joinable()) Wait();
    policy_.Note(Stamp(), now);
    if (policy_.Due(now) && WriteNow(wait)) policy_.Done();
}

bool ProjectRecovery::WriteNow(bool wait) {
    if (writing_) {
        if (!wait) return false;
    }
    Wait();
    const uint64_t generation = ++generation_;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const std::string addonName = RecoveryFileName(RecoveryFile::Role::Addon, generation);
    const std::string addonPath = (fs::path(folder_) / addonName).string();
    // The planner's own files are never a copy's: a project kept in the recovery folder itself
    // would be.
    if (SamePath(addonPath, host_.projectPath) ||
        SamePath((fs::path(folder_) / RecoveryFileName(RecoveryFile::Role::Project, generation)).string(), host_.projectPath))
        return true;
    host_.recoveryMode = HostRecoveryMode::Writing;
    host_.recoveryAddonPath = addonPath;
    host_.SendProjectEvent(kHostEventRecoveryWrite, 0);
    host_.recoveryMode = HostRecoveryMode::None;
    host_.recoveryAddonPath.clear();
    const bool addonWrote = fs::is_regular_file(addonPath, ec);
    if (!host_.Model().Modified() && !addonWrote) {
        Discard();
        return true;
    }
    std::shared_ptr<HostModel> snapshot = host_.Model().SnapshotForSaving();
    std::string original = Absolute(host_.projectPath);
    writing_ = true;
    std::string addonCopy = addonWrote ? addonName : std::string();
    worker_ = std::thread([this, snapshot, original, generation, addonCopy] {
        // The window's thread goes first on a busy machine; a copy may take its time.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kWriterNiceness);
        std::string error;
        try {
            WriteRecoveryCopy(folder_, generation, SerializeHostProject(*snapshot), addonCopy, original, error);
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (!error.empty()) {
            std::lock_guard lock(errorLock_);
            error_ = error;
        }
        writing_ = false;
    });
    if (wait) Wait();
    return true;
}

void ProjectRecovery::ProjectSaved() {
    Discard();
    policy_.Touch(lastNow_);
}

void ProjectRecovery::Discard() {
    Wait();
    RemoveRecoveryCopy(folder_);
}

void ProjectRecovery::Adopt(const RecoveryCopyFound& copy) {
    // The recovered work stays in its copy until this run writes one of its own over it there.
    RemoveRecoveryCopy(folder_);
    folder_ = copy.folder;
    generation_ = HighestRecoveryGeneration(folder_);
}

void ProjectRecovery::AskAtStart() {
    Wait(); // the run's folder may change below; no copy of it is on its way
    std::vector<std::string> notes;
    auto copies = FindRecoveryCopies(root_, notes);
    for (const std::string& note : notes) host_.WriteReport(BKFromUtf8(note));
    const RecoveryCopyFound* chosen = nullptr;
    for (const RecoveryCopyFound& c : copies)
        if (c.folder != folder_ && c.NewerThanSaved()) {
            chosen = &c;
            break;
        }
    if (!chosen) return;
    const RecoveryManifest& m = chosen->manifest;
    std::string name = m.project.empty() ? HostString(HostText::Untitled)
                                         : BKFromUtf8(fs::path(m.project).filename().string());
    switch (ShowHostAlert(HostAlert::Recover, name)) {
    case kRecover: {
        if (host_.Model().Modified() && !host_.MayDiscardProject()) return;
        auto loaded = LoadHostProject((fs::path(chosen->folder) / m.FileOf(RecoveryFile::Role::Project)->name).string());
        if (!loaded.model) {
            host_.WriteReport(BKFromUtf8(loaded.error));
            return;
        }
        const RecoveryFile* addon = m.FileOf(RecoveryFile::Role::Addon);
        host_.AdoptRecoveredProject(std::move(loaded.model), m.project,
                                    addon ? (fs::path(chosen->folder) / addon->name).string() : std::string());
        Adopt(*chosen);
        policy_.Touch(lastNow_);
        return;
    }
    case kOpenSaved: {
        std::string original = m.project;
        RemoveRecoveryCopy(chosen->folder);
        if (!original.empty() && !SamePath(original, host_.projectPath) && host_.MayDiscardProject()) openSaved(original);
        return;
    }
    default: return; // later: the copy stays for the next start
    }
}
