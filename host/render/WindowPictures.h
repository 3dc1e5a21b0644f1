#pragma once
// The host's 3D and photo windows as the open project keeps them: their size, background and
// picture. The desktop, the script's render command and the operations all draw through here.
#include "host/model/HostModel.h"
#include "host/render/Renderer.h"

#include <utility>

const HostWindow& WindowOf(const HostModel& model, RenderStyle style);
// In pixels; a side the project holds out of range gives the default.
std::pair<int32_t, int32_t> WindowSize(const HostModel& model, RenderStyle style);
// The window's background colour as the project keeps it, the renderer's default otherwise.
Rgb WindowBackground(const HostModel& model, RenderStyle style);
Image RenderWindow(HostModel& model, RenderStyle style, SceneSide side = SceneSide::First);
