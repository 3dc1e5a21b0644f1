#pragma once
// FileKit's file dialogs as Qt file dialogs: the filters by name with their extensions, the
// preselected one, the start folder and the proposed name.
#include "filekit/FKFileDialog.h"

class QWidget;

FKFileDialogAnswer AskFileDialog(const FKFileDialogRecord& dialog, QWidget* parent);
