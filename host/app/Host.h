#pragma once
// The host application: the core the operation table acts on, and the user's commands on the
// open project. Each command sends the project events add-ons listen to.
#include "host/app/ModelRead.h"
#include "host/ops/HostCore.h"

#include <memory>
#include <string>

class ProjectRecovery;

class Host : public HostCore {
public:
    using HostCore::HostCore;

    void NewProject();
    // A host project (.qvp), or an IFC model (.ifc, in any case) read into a new untitled
    // project with the view on the whole building, its elements on their presentation layers or,
    // with `layersByStorey`, on a layer for each storey. Nothing changes on failure.
    bool OpenProject(const std::string& path, std::string& error, bool layersByStorey = false);
    // The open's second half, on the host's thread, after ReadProjectFile (which may run on
    // another): the read becomes the open project. Nothing changes for a read that failed or
    // was cancelled.
    bool AdoptProject(ModelRead read, std::string& error);
    static bool IsIfcPath(const std::string& path);
    // A later revision of the IFC model into the open project (by GlobalId, keeping what the
    // user and the add-ons gave the elements), as one undo step when the history can hold it.
    // A revision that takes much away asks first. Nothing changes on failure or when the user
    // declines (which is no failure).
    // Where the project holds several models, `modelName` names the one revised (empty: the one
    // last read from a file of that name); the others are left alone.
    bool UpdateFromIfc(const std::string& path, std::string& error, const std::string& modelName = {});
    // The update's second half, after ReadIfcRevision: the elements are made against the open
    // model, so on the host's thread.
    bool AdoptIfcRevision(ModelRead read, std::string& error, const std::string& modelName = {});

    // Federated models: another IFC model beside those the project holds, named `name` (UTF-8;
    // empty: the file's name), its elements on layers "NAME: layer" (or by storey) with the fact
    // "model"; one undo step. Removing one takes its elements away, asking as an update that
    // removes elements does. Nothing changes on failure or when the user declines.
    bool AddIfcModel(const std::string& path, const std::string& name, bool layersByStorey, std::string& error);
    bool AdoptIfcModel(ModelRead read, const std::string& name, bool layersByStorey, std::string& error);
    bool RemoveIfcModel(const std::string& name, std::string& error);
    // A save takes the place of the recovery copy, which goes.
    bool SaveProject(const std::string& path, std::string& error);
    // A recovery copy's project becomes the open project as unsaved work of the file it stands
    // for (`original`, empty for an untitled one); the add-ons read their own copies at
    // `addonCopy` while they hear it was opened.
    void AdoptRecoveredProject(std::unique_ptr<HostModel> model, const std::string& original,
                               const std::string& addonCopy);
    void ShareProject(int16_t userId);
    bool ResetPreferences(std::string& error);

    // Before a command lets the open project go (new, open, quit): asks whether to save unsaved
    // changes, saving where the user says (an untitled project asks where). True when the
    // project may go; false when the user cancelled or the save failed, and nothing changed.
    bool MayDiscardProject();
    // The project's name as the user knows it: its file's name, or "Untitled" (8-bit).
    std::string ProjectName() const;

    // Hears the phases of the reads OpenProject and UpdateFromIfc make; none by default.
    IIfcReadProgress* readProgress = nullptr;
    // The recovery copies of this run, when it keeps them.
    ProjectRecovery* recovery = nullptr;
};
