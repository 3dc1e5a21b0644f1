#pragma once
// The platform's file dialogs: open, save, and the movie file dialog. The headless back-end
// takes each answer from a queue (the host's `choose PATH [KIND]` / `choose cancel`) and keeps a
// record of every dialog asked. A dialog without a queued answer is cancelled and counted as an
// unanswered question (DialogKit's counter), so a script run can fail on it.
//
// Texts (title, filter names) are 8-bit; paths cross as locations.
#include "filekit/FKFileTypes.h"
#include "filekit/FKLocation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class FKFileDialogKind { Open, Save, Movie };

struct FKFileDialogSpec {
    FKFileDialogKind kind = FKFileDialogKind::Open;
    std::string title;
    std::vector<FKFileFilter> filters;
    int32_t preselectedFilter = 0;
    FKLocation startFolder; // not valid: the default folder (Documents)
    std::string startName;  // save and movie dialogs: the proposed file name (UTF-8)
    uint32_t flags = 0;
};

struct FKFileDialogAnswer {
    bool cancel = false;
    std::string path;              // UTF-8, as the user typed it
    std::optional<int32_t> filter; // none: the preselected one
};

struct FKFileDialogRecord {
    FKFileDialogKind kind = FKFileDialogKind::Open;
    std::string title;
    std::vector<FKFileFilter> filters;
    int32_t preselectedFilter = 0;
    FKLocation startFolder; // after the default was applied
    std::string startName;
    uint32_t flags = 0;
    bool confirmed = false;
    FKLocation chosen;
    int32_t chosenFilter = 0; // the filter selected when the dialog closed
    bool fromQueue = false;
};

// Shows the dialog. On confirmation `chosen` and `chosenFilter` are set and true is returned;
// on cancel they are left alone. A save or movie dialog adds the selected filter's first
// extension to a chosen name that has none, as the system dialogs do.
bool FKRunFileDialog(const FKFileDialogSpec& spec, FKLocation& chosen, int32_t& chosenFilter);

// A windowing toolkit's file dialog, asked instead of the queue when installed: it gets the
// dialog as it will be recorded (start folder filled in) and gives the user's answer.
using FKFileDialogBackEnd = std::function<FKFileDialogAnswer(const FKFileDialogRecord&)>;
void FKSetFileDialogBackEnd(FKFileDialogBackEnd backEnd);

void FKQueueFileDialogAnswer(FKFileDialogAnswer answer);
size_t FKPendingFileDialogAnswers();
// Removes the queued answers and the record of shown dialogs.
void FKResetFileDialogs();
const std::vector<FKFileDialogRecord>& FKShownFileDialogs();
// Called after each file dialog closes (the host's transcript listens here).
void FKSetFileDialogListener(std::function<void(const FKFileDialogRecord&)> listener);

// The transcript line of a dialog: `file-dialog open|save|movie PATH|cancel KIND`, the path in
// UTF-8 and quoted (with \" and \\) when it holds a blank, a quote or a backslash.
std::string FKFileDialogTranscriptLine(const FKFileDialogRecord& record);
