#include "dialogkit/DGBackEnd.h"

namespace {
IDGBackEnd* gBackEnd = nullptr;
} // namespace

void DGSetBackEnd(IDGBackEnd* backEnd) { gBackEnd = backEnd; }
IDGBackEnd* DGCurrentBackEnd() { return gBackEnd; }
