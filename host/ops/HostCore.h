#pragma once
// What the host's operation table acts on: the open model and everything around it that
// add-ons reach through the table. One is current at a time. The application (host/app) is
// one of these with the user's project commands on top.
#include "host/model/HostModel.h"
#include "host/prefs/PreferenceStore.h"
#include "hostapi/HostAPI.h"
#include "hostapi/HostRegistrationRecord.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct HostGraphicsState; // host/render: library parts, tool defaults, capture state

struct HostEvents {
    // Texts are 8-bit code page; the transcript converts them.
    std::function<void(const std::string& text)> report;
    std::function<void(const std::string& name)> undoStep;
    std::function<void(int16_t menuResId, int32_t item, const std::string& text)> menuText;
    // Failures of the host's own that no command returns (UTF-8), such as a store write at exit.
    std::function<void(const std::string& text)> error;
};

struct AddonRegistration {
    std::string name;
    uint32_t token = 0;
    std::vector<uint8_t> menuRecord, objectTypeRecord;
    int16_t menuResId = 0;
    HostMenuHandler menuHandler = nullptr;
    std::vector<std::pair<uint32_t, HostProjectEventHandler>> eventHandlers;
    bool keepLoaded = false;
    std::map<int32_t, HostPaletteRecord> palettes;
    // Optional export: the add-on's state as text blocks, for the script's print commands.
    const char* (*describe)(const char* what) = nullptr;
    HostEntryRecord entries{};
    void* module = nullptr; // the loaded module, when it came from a file
    bool initialized = false;
};

class HostCore {
public:
    explicit HostCore(std::string preferencesPath = {});
    virtual ~HostCore();
    HostCore(const HostCore&) = delete;
    HostCore& operator=(const HostCore&) = delete;

    static HostCore* Current();
    static void SetCurrent(HostCore* host);

    // The table add-ons receive.
    const std::array<HostFunc, kHostTableSize>& Table() const { return table_; }

    HostModel& Model() { return *model_; }
    // Replaces the model (open or new); the old one and its undo history are gone.
    void ReplaceModel(std::unique_ptr<HostModel> model);
    PreferenceStore& Preferences() { return preferences_; }
    HostEvents& Events() { return events_; }

    // Add-ons. Registration happens before initialisation: the add-on's name comes first.
    AddonRegistration& AddAddon(const std::string& name);
    AddonRegistration* AddonByToken(uint32_t token);
    // Forgets an add-on whose start failed, with the handlers and palettes it registered.
    void RemoveAddon(uint32_t token);
    AddonRegistration* PendingRegistration() { return pending_; }
    void SetPendingRegistration(AddonRegistration* addon) { pending_ = addon; }
    std::vector<std::unique_ptr<AddonRegistration>>& Addons() { return addons_; }
    // Opens or closes the second 3D window's state; opening asks the add-ons for their second looks.
    void SetSecondViewOpen(bool open);
    // Sends a project event to every handler installed for it.
    void SendProjectEvent(uint32_t event, int32_t param);

    const std::vector<std::string>& ReportLines() const { return reportLines_; }
    void WriteReport(const std::string& cp1250Text);

    // Services behind the selector calls.
    bool hostSwitch = false;
    int32_t currentDatabase = 1;   // database kind in use
    int32_t frontWindow = 1;       // window kind in front
    int32_t changeRunDepth = 0;    // open runs of element changes
    int32_t rebuildCount = 0;
    bool sharedProject = false;
    int16_t userId = 0;
    std::string projectPath;       // UTF-8, empty for an untitled project
    std::string helpFolder = "/usr/share/doc/quorvel";
    // What "RCVY" tells add-ons while a recovery copy is written or read back: HostRecoveryMode
    // and where their own copy goes or comes from (UTF-8).
    int32_t recoveryMode = 0;
    std::string recoveryAddonPath;
    std::map<std::pair<int16_t, int32_t>, std::string> menuTexts; // (menu, item) -> text
    // The renderer's and the library's state, made on first use (GraphicsOf).
    std::shared_ptr<HostGraphicsState> graphics;
    // Fault seam: elements whose user data the host refuses, as it may for elements it cannot extend.
    std::set<API_Guid> refuseUserData;

    // The host's name of an element kind (8-bit code page).
    std::string KindName(int32_t kind) const;

private:
    std::array<HostFunc, kHostTableSize> table_{};
    std::unique_ptr<HostModel> model_;
    PreferenceStore preferences_;
    HostEvents events_;
    std::vector<std::unique_ptr<AddonRegistration>> addons_;
    AddonRegistration* pending_ = nullptr;
    std::vector<std::string> reportLines_;
    uint32_t nextToken_ = 0x51560001;
};

// Fills the operation table with the host's operations (defined in HostOperations.cpp).
void FillHostTable(std::array<HostFunc, kHostTableSize>& table);
