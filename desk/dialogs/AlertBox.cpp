#include "desk/dialogs/AlertBox.h"

#include "desk/dialogs/CodePageText.h"

#include <QPushButton>

AlertBox::AlertBox(const DGAlertRecord& alert, QWidget* parent) : QMessageBox(parent) {
    setObjectName(QStringLiteral("alert%1").arg(alert.id));
    switch (alert.kind) {
    case -1: setIcon(QMessageBox::Critical); break;
    case -2: setIcon(QMessageBox::Warning); break;
    default: setIcon(QMessageBox::Information); break;
    }
    setWindowTitle(alert.title.empty() ? QStringLiteral("Bauvista") : FromCodePage(alert.title));
    setText(FromCodePage(alert.main));
    if (!alert.explanation.empty()) setInformativeText(FromCodePage(alert.explanation));
    for (const std::string& text : alert.buttons) buttons_.push_back(addButton(FromCodePage(text), QMessageBox::AcceptRole));
    if (!buttons_.empty()) {
        setDefaultButton(static_cast<QPushButton*>(buttons_.front()));
        setEscapeButton(buttons_.back());
    }
}

int AlertBox::Ask() {
    exec();
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (clickedButton() == buttons_[i]) return static_cast<int>(i + 1);
    return static_cast<int>(buttons_.size());
}
