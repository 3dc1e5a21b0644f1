#pragma once
// The recovery copies of one run of a host program: the open project and the add-ons' unsaved
// work, written to a folder of the run's own inside the recovery folder when AutosavePolicy says
// so, and offered back when a later run starts. The window's thread pays only for the add-ons'
// writes and a copy of the model; the project's text is made and written on a thread of its own.
// A save or a normal end removes the run's copy; a copy left by a crash stays until its answer.
#include "host/app/AutosavePolicy.h"
#include "host/app/RecoveryFolder.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class Host;

class ProjectRecovery {
public:
    // The host's recovery question: its buttons.
    enum Answer { kRecover = 1, kOpenSaved = 2, kLater = 3 };
    // A few seconds after the changes stop, and every five minutes while they go on.
    static constexpr double kQuietSeconds = 3, kLongestSeconds = 300;

    ProjectRecovery(Host& host, std::string root, double quietSeconds = kQuietSeconds,
                    double longestSeconds = kLongestSeconds);
    ~ProjectRecovery(); // waits for a write on its way
    ProjectRecovery(const ProjectRecovery&) = delete;
    ProjectRecovery& operator=(const ProjectRecovery&) = delete;

    // At the start: copies cut short are named in the report window; of the whole copies newer
    // than their saved files, the newest is asked about (HostAlert::Recover). `openSaved` opens
    // a project file as the program does (by default the host's OpenProject).
    void AskAtStart();
    std::function<bool(const std::string& path)> openSaved;

    // The user did something (a key, a click, a script line) that may have changed unsaved work
    // the model does not show, such as the add-ons' own.
    void NoteActivity() { ++activity_; }
    // Looks at the project at `now` (seconds of a steady clock) and writes a copy when one is due;
    // with `wait` (a program without a window) the copy is written before it returns, so no
    // change waits for a next look that may never come.
    void Tick(double now, bool wait = false);
    // Writes a copy at once when anything is unsaved, or removes the run's copy when nothing is.
    // With `wait` the file part is done before it returns. False when a write is still on its way.
    bool WriteNow(bool wait = false);
    bool Writing() const { return writing_; }
    void Wait();
    // The project was saved: the copy goes, and the add-ons' unsaved work is looked at once it is quiet.
    void ProjectSaved();
    // A normal end: the run's copy goes.
    void Discard();

    const std::string& Folder() const { return folder_; }
    // A script's lines are no typing: a copy follows every line that changed something.
    void SetTimes(double quietSeconds, double longestSeconds) { policy_ = AutosavePolicy(quietSeconds, longestSeconds); }
    // Seconds of the steady clock, for Tick.
    static double SteadyNow();

private:
    uint64_t Stamp();
    void Adopt(const RecoveryCopyFound& copy);
    void ReportWriteFailure();

    Host& host_;
    std::string root_, folder_;
    AutosavePolicy policy_;
    uint64_t activity_ = 0, generation_ = 0;
    double lastNow_ = 0;
    std::thread worker_;
    std::atomic<bool> writing_{false};
    std::mutex errorLock_;
    std::string error_; // a failed write, told on the host's thread
};
