#include "desk/dialogs/FileDialogAsker.h"

#include "desk/dialogs/CodePageText.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

FKFileDialogAnswer AskFileDialog(const FKFileDialogRecord& dialog, QWidget* parent) {
    QFileDialog box(parent, FromCodePage(dialog.title));
    box.setObjectName(QStringLiteral("fileDialog"));
    // Qt's own dialog: the same on every desktop, and one a test can fill in.
    box.setOption(QFileDialog::DontUseNativeDialog);
    bool open = dialog.kind == FKFileDialogKind::Open;
    box.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    box.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const FKFileFilter& f : dialog.filters) {
        QStringList patterns;
        for (const std::string& ext : f.extensions) patterns << QStringLiteral("*.") + QString::fromStdString(ext);
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        filters << FromCodePage(f.name) + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
    }
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        if (dialog.preselectedFilter >= 0 && dialog.preselectedFilter < filters.size())
            box.selectNameFilter(filters[dialog.preselectedFilter]);
    }
    if (dialog.startFolder.IsValid()) box.setDirectory(QString::fromStdString(dialog.startFolder.NativePath()));
    if (!dialog.startName.empty()) box.selectFile(QString::fromStdString(dialog.startName));
    FKFileDialogAnswer answer;
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        answer.cancel = true;
        return answer;
    }
    answer.path = box.selectedFiles().front().toStdString();
    int filter = static_cast<int>(filters.indexOf(box.selectedNameFilter()));
    if (filter >= 0) answer.filter = FilterOfChosenName(dialog.filters, answer.path, filter);
    return answer;
}

int FilterOfChosenName(const std::vector<FKFileFilter>& filters, const std::string& path, int selected) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix();
    if (suffix.isEmpty()) return selected;
    int found = -1;
    for (size_t i = 0; i < filters.size(); ++i) {
        bool holds = false;
        for (const std::string& ext : filters[i].extensions)
            holds = holds || suffix.compare(QString::fromStdString(ext), Qt::CaseInsensitive) == 0;
        if (!holds) continue;
        if (static_cast<int>(i) == selected) return selected;
        if (found >= 0) return selected; // two filters take it: the user's choice decides
        found = static_cast<int>(i);
    }
    return found >= 0 ? found : selected;
}
