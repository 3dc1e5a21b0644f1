#pragma once
// The selected elements, one line each (kind, ID, layer, lock), and under each what the building
// model it came from says it is: its class and identity, its storey, its materials, its
// classifications, then its property and quantity sets with their values. The facts are filled
// in when an element's line is opened; a single selected element is opened at once.
#include "host/app/Host.h"

#include <QTreeWidget>

class SelectionPanel : public QTreeWidget {
    Q_OBJECT
public:
    SelectionPanel(Host& host, QWidget* parent);
    void Refresh();

private:
    void FillFacts(QTreeWidgetItem* elementItem);

    Host& host_;
};
