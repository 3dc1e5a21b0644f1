#pragma once
// FileKit's file dialogs as Qt file dialogs: the filters by name with their extensions, the
// preselected one, the start folder and the proposed name.
#include "filekit/FKFileDialog.h"

class QWidget;

#include <string>
#include <vector>

FKFileDialogAnswer AskFileDialog(const FKFileDialogRecord& dialog, QWidget* parent);

// The filter a chosen file stands for: the one filter its extension belongs to (letter case
// aside), so "haz.csp" typed under another filter is still a project file; else `selected`.
int FilterOfChosenName(const std::vector<FKFileFilter>& filters, const std::string& path, int selected);
