#pragma once
// The add-on's file dialogs: opening and saving a schedule (project file or schedule text) and
// choosing the movie file. Titles and file types come from the add-on's resources.
#include "filekit/FKFileDialog.h"
#include "filekit/FKFileTypes.h"
#include "filekit/FKLocation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The file kinds the project dialogs offer, as filter indexes. Primavera P6's XER and XML are only
// read: the open dialog offers them, the save dialog offers the first three. The two XML kinds
// share their extension; the chosen filter tells them apart.
enum ScheduleFileKind : int16_t {
    ProjectFileKind = 0,
    ScheduleTextKind = 1,
    ProjectXmlKind = 2,
    PrimaveraXerKind = 3,
    PrimaveraXmlKind = 4
};

// One dialog's question and answer; made for one dialog and discarded after it.
class FileDialogRequest {
public:
    static constexpr size_t kMaxPath = 260;

    // `titleItem`: item of string list 32595 (1 open, 2 save, 3 movie). The start path is cut
    // at 260 bytes; empty means none.
    FileDialogRequest(int16_t titleItem, std::string_view startPath, int16_t startKind);

    std::string title;     // 8-bit
    std::string startPath; // 8-bit
    int16_t startKind = ProjectFileKind;
    FKLocation chosenLocation;
    int32_t chosenKind = ScheduleTextKind; // before any dialog

    // Registers the project file types ("BVFTM") on first use; false when a text cannot be
    // loaded or a group or type cannot be added.
    bool RegisterFileTypes();
    const FKFileTypeRegistry* FileTypes() const { return fileTypes_.get(); }

private:
    std::unique_ptr<FKFileTypeRegistry> fileTypes_;
};

// The open dialog with the project file, schedule text and Microsoft Project XML filters; true
// when confirmed.
bool AskOpenFile(FileDialogRequest& request);
// The save dialog with the project file and schedule text filters, starting at the request's
// path with its kind preselected.
bool AskSaveFile(FileDialogRequest& request);
// The chosen file as an 8-bit path; empty when none was chosen or it cannot be written in the
// code page within 260 bytes (a cut or substituted path would name another file).
std::string ChosenPath(const FileDialogRequest& request);
// The movie file dialog: one filter named by the request's title with the given extension,
// starting at `location`, which the chosen file replaces on confirmation. False at once without
// a location.
bool AskMovieFile(FileDialogRequest& request, FKLocation* location, std::string_view extension);

// The dialogs of the files links come in and go out by: open or save, one filter, the file type
// named by string list 32597 item `typeItem` with the extension of list 32598 item
// `extensionItem`, titled by list 32595 item `titleItem`, starting at `startPath` (8-bit; empty:
// the default folder). The chosen file as an 8-bit path, or empty when the user cancelled.
std::string AskLinkFile(FKFileDialogKind kind, int16_t titleItem, int16_t typeItem, int16_t extensionItem,
                        std::string_view startPath);
