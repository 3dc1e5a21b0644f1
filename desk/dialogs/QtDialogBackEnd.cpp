#include "desk/dialogs/QtDialogBackEnd.h"

#include "desk/dialogs/AlertBox.h"
#include "desk/dialogs/DialogUnits.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/FileDialogAsker.h"
#include "desk/dialogs/ModalDialogWindow.h"
#include "filekit/FKFileDialog.h"

#include <QApplication>
#include <QWindow>

QtDialogBackEnd::QtDialogBackEnd(QWidget* parent) : parent_(parent) {
    DGSetBackEnd(this);
    FKSetFileDialogBackEnd([this](const FKFileDialogRecord& dialog) {
        FKFileDialogAnswer answer = AskFileDialog(dialog, parent_);
        if (afterInput) afterInput();
        return answer;
    });
    // The add-on changes its dialogs' state directly; the windows follow it shortly after.
    connect(&timer_, &QTimer::timeout, this, &QtDialogBackEnd::SyncAll);
    timer_.start(50);
    qApp->installEventFilter(this);
}

QtDialogBackEnd::~QtDialogBackEnd() {
    if (DGCurrentBackEnd() == this) DGSetBackEnd(nullptr);
    FKSetFileDialogBackEnd(nullptr);
    for (auto& [dialog, window] : windows_) {
        window->Detach();
        delete window;
    }
}

void QtDialogBackEnd::DialogCreated(DGDialog& dialog) {
    if (windows_.count(&dialog)) return;
    auto* window = new DialogWindow(dialog, parent_);
    // Before the dialog opens: its owner sizes the editors over the rows from the row height.
    for (const DGItem& item : dialog.Items())
        if (DGListState* list = item.kind == DGItemKind::List ? dialog.List(item.id) : nullptr)
            list->rowHeight = ListRowHeight(*window);
    window->afterInput = [this] {
        if (afterInput) afterInput();
    };
    windows_[&dialog] = window;
    if (windowMade) windowMade(*window);
}

void QtDialogBackEnd::DialogDestroyed(DGDialog& dialog) {
    auto it = windows_.find(&dialog);
    if (it == windows_.end()) return;
    DialogWindow* window = it->second;
    windows_.erase(it);
    window->Detach();
    window->hide();
    // The window may be inside one of its own signals.
    window->deleteLater();
}

DialogWindow* QtDialogBackEnd::Window(int32_t dialogId) const {
    for (auto& [dialog, window] : windows_)
        if (dialog->Id() == dialogId) return window;
    return nullptr;
}

int16_t QtDialogBackEnd::RunModal(DGModalDialog& dialog, int16_t okItem, int16_t cancelItem) {
    ModalDialogWindow window(dialog, okItem, cancelItem, parent_);
    ModalDialogWindow* outer = modal_;
    modal_ = &window;
    int16_t pressed = window.Run();
    modal_ = outer;
    if (afterInput) afterInput();
    return pressed;
}

int QtDialogBackEnd::RunAlert(const DGAlertRecord& alert) {
    AlertBox box(alert, parent_);
    int answer = box.Ask();
    if (afterInput) afterInput();
    return answer;
}

ModalDialogWindow* QtDialogBackEnd::CurrentModal() const { return modal_; }

namespace {

QWidget* TopLevelOf(QObject* target) {
    if (auto* widget = qobject_cast<QWidget*>(target)) return widget->window();
    if (auto* window = qobject_cast<QWindow*>(target))
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window) return top;
    return nullptr;
}

} // namespace

void QtDialogBackEnd::ProcessEvents() {
    SyncAll();
    ++pumping_;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    --pumping_;
}

bool QtDialogBackEnd::eventFilter(QObject* watched, QEvent* event) {
    if (pumping_ == 0) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride: {
        // The window system hands input to a window before its widgets see it.
        return !qobject_cast<DialogWindow*>(TopLevelOf(watched));
    }
    default: return false;
    }
}

void QtDialogBackEnd::SyncAll() {
    // A copy: a window's sync may reach the add-on, which may make or end dialogs.
    auto windows = windows_;
    for (auto& [dialog, window] : windows)
        if (windows_.count(dialog)) window->Sync();
}
