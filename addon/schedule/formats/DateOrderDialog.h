#pragma once
// The date-order question (dialog 32505): asked when more than one order reads every date of a
// schedule text.
#include "dialogkit/DGModalDialog.h"
#include "schedule/formats/DateOrder.h"

#include <memory>

// The dialog with one pop-up entry per candidate (text: its sample, data: the order); null when
// the dialog's description is missing.
std::unique_ptr<DGModalDialog> MakeDateOrderDialog(const DateOrderSet& candidates);

// Lists the candidates by their samples; OK leaves only the chosen one. False for "Mégse" or
// when the dialog cannot be made.
bool AskDateOrder(DateOrderSet& candidates);
