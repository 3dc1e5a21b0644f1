#pragma once
// The toolkit that shows the dialogs to a person. Without one (the default) dialogs live only
// as state, answered from queues; a windowing back-end installed at program start shows every
// dialog, asks its questions and runs the user's input through the same DGDialog calls, so the
// code that opens a dialog never knows which one runs.
#include <cstdint>

class DGDialog;
class DGModalDialog;
struct DGAlertRecord;

class IDGBackEnd {
public:
    virtual ~IDGBackEnd() = default;
    // A modeless dialog came to exist or is about to go; its state is read from the dialog.
    virtual void DialogCreated(DGDialog& dialog) = 0;
    virtual void DialogDestroyed(DGDialog& dialog) = 0;
    // Runs the dialog until one of its buttons closes it; returns that button.
    virtual int16_t RunModal(DGModalDialog& dialog, int16_t okItem, int16_t cancelItem) = 0;
    // Asks the alert's question (texts and buttons filled in); returns the 1-based button.
    virtual int RunAlert(const DGAlertRecord& alert) = 0;
    // Lets the user's pending input through and brings the shown dialogs up to date.
    virtual void ProcessEvents() = 0;
};

// Installs the back-end (null: back to the headless default). The caller keeps it alive.
void DGSetBackEnd(IDGBackEnd* backEnd);
IDGBackEnd* DGCurrentBackEnd();
