#include "desk/window/SelectionPanel.h"

#include "desk/dialogs/CodePageText.h"

SelectionPanel::SelectionPanel(Host& host, QWidget* parent) : QPlainTextEdit(parent), host_(host) {
    setObjectName(QStringLiteral("selection"));
    setReadOnly(true);
    Refresh();
}

void SelectionPanel::Refresh() {
    HostModel& model = host_.Model();
    QStringList lines;
    for (const API_Guid& g : model.Selection()) {
        const Element* e = model.Find(g);
        if (!e) continue;
        lines << QStringLiteral("%1 %2 — %3%4")
                     .arg(FromCodePage(host_.KindName(e->Kind())), FromCodePage(e->IdText()),
                          FromCodePage(model.AttributeName(HostAttribute::Layer, e->Layer())),
                          e->Locked() ? tr(", locked") : QString());
    }
    if (lines.isEmpty()) lines << tr("Nothing selected");
    setPlainText(lines.join('\n'));
}
