#pragma once
// The selected elements: kind, ID, layer and lock, one line each.
#include "host/app/Host.h"

#include <QPlainTextEdit>

class SelectionPanel : public QPlainTextEdit {
    Q_OBJECT
public:
    SelectionPanel(Host& host, QWidget* parent);
    void Refresh();

private:
    Host& host_;
};
