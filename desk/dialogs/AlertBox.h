#pragma once
// An alert as a message box: the kind's icon, the main and explanatory texts, the buttons in
// their order; Escape presses the last one.
#include "dialogkit/DGAnswers.h"

#include <QMessageBox>

class AlertBox : public QMessageBox {
    Q_OBJECT
public:
    AlertBox(const DGAlertRecord& alert, QWidget* parent);
    // The 1-based button pressed.
    int Ask();

private:
    std::vector<QAbstractButton*> buttons_;
};
