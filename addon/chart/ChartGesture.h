#pragma once
// The chart's gestures as a script gives them (`chart click ROW`, `chart drag-bar ROW start 3`,
// ...), read into what the chart then does with its own mouse and keys.
#include "dialogkit/DGUserInput.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ChartGesture {
    enum class Kind : uint8_t { Click, DoubleClick, Toggle, DragDate, DragBar, Key, Undo, Zoom, Play, StatusDate };
    enum class BarPart : uint8_t { Start, Finish, Move };

    Kind kind = Kind::Click;
    int32_t row = 0;       // click, dblclick, toggle, drag-bar: from 1
    std::string rowText;   // the row as the script wrote it, for the chart's refusals
    int64_t day = 0;       // drag-date: the day dragged to; play: the first day; status-date: its day
    int64_t lastDay = 0;   // play
    int64_t steps = 0;     // drag-date: the dates dragged through on the way
    BarPart part = BarPart::Move;
    int64_t days = 0;      // drag-bar: how far, negative for earlier
    DGKey key = DGKey::Other;
    bool shift = false;
    int zoomBy = 0;        // +1 in, -1 out
    int32_t daysPerSecond = 0; // play: 1, 7 or 30
};

// The gesture the arguments (after `chart`) name. Nothing for arguments of a wrong form, with
// `error` left empty so that the command shows its usage; for a gesture the chart does not know,
// nothing with `error` saying so.
std::optional<ChartGesture> ParseChartGesture(const std::vector<std::string>& args, std::string& error);
