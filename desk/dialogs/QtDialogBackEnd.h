#pragma once
// DialogKit's and FileKit's Qt back-end: every modeless dialog gets a tool window, modal
// dialogs, alerts and file dialogs are asked as Qt dialogs. Installed for the object's life.
#include "dialogkit/DGBackEnd.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>

class DialogWindow;
class ModalDialogWindow;

class QtDialogBackEnd : public QObject, public IDGBackEnd {
    Q_OBJECT
public:
    explicit QtDialogBackEnd(QWidget* parent);
    ~QtDialogBackEnd() override;

    void DialogCreated(DGDialog& dialog) override;
    void DialogDestroyed(DGDialog& dialog) override;
    int16_t RunModal(DGModalDialog& dialog, int16_t okItem, int16_t cancelItem) override;
    int RunAlert(const DGAlertRecord& alert) override;
    void ProcessEvents() override;

    // Brings every window up to date with its dialog.
    void SyncAll();
    DialogWindow* Window(int32_t dialogId) const;
    // The modal dialog on screen, if any.
    ModalDialogWindow* CurrentModal() const;
    // Called after the user's input reached a dialog, so the host's views can follow.
    std::function<void()> afterInput;
    // Called for each modeless dialog's window as it is made (still hidden), so the program can
    // place it.
    std::function<void(DialogWindow& window)> windowMade;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> parent_;
    // Inside a long task's pump only its dialogs take the user's input: the rest of the
    // program must not run commands while the task is half done.
    int pumping_ = 0;
    std::map<DGDialog*, DialogWindow*> windows_;
    ModalDialogWindow* modal_ = nullptr;
    QTimer timer_;
};
