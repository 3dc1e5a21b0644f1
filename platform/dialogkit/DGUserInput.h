#pragma once
// The mouse and the keys as a user area receives them: positions in the area's pixels, the
// modifier keys held, and the few keys an area acts on.
#include <cstdint>

enum DGModifier : uint32_t { kDGShift = 1u << 0, kDGControl = 1u << 1 };

// Undo: the back-end's undo shortcut (Ctrl+Z).
enum class DGKey : int32_t { Other = 0, Left, Right, Up, Down, Home, End, Space, Escape, Undo };

struct DGMouse {
    enum class Action { Down, Move, Up, DoubleClick, Wheel };
    Action action = Action::Down;
    int32_t x = 0, y = 0;
    int32_t wheel = 0; // wheel: notches, positive away from the user
    uint32_t modifiers = 0;
};
