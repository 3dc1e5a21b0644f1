#pragma once
// The layers of the model with their hidden and locked flags, changed by the user in place.
#include "host/app/Host.h"

#include <QTableWidget>

#include <functional>

class LayerPanel : public QTableWidget {
    Q_OBJECT
public:
    LayerPanel(Host& host, QWidget* parent);
    void Refresh();
    // Sets a flag of layer `index` (from 1) as the user's tick does.
    void SetLayerFlag(int16_t index, uint32_t flag, bool on);
    std::function<void()> layersChanged;

private:
    Host& host_;
    bool filling_ = false;
};
