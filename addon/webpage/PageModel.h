#pragma once
// What the page shows of the model, read from the host: the bodies as a glTF binary and, in the
// binary's element order, each element's ID text, own look, facts, tasks and whether a hidden
// layer of the user's keeps it out of sight.
#include "webpage/ViewLookClock.h"

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class ElementHider;

struct PageElement {
    std::string id; // UTF-8
    std::array<uint8_t, 3> colour{179, 179, 179};
    uint8_t transparency = 0;
    std::vector<std::pair<std::string, std::string>> facts; // UTF-8, in the host's order
    ElementTasks tasks;
    bool onHiddenLayer = false;
};

struct PageModel {
    std::vector<uint8_t> glb;
    std::vector<PageElement> elements;
};

// A material's colour and transparency as the host paints it; grey for none.
struct MaterialLook {
    std::array<uint8_t, 3> colour{179, 179, 179};
    uint8_t transparency = 0;
};
MaterialLook MaterialLookOf(int16_t material);

// Reads the model; `step(done, total)` after each element, false to stop (then false here).
// Throws EPageModel when the host gives no model.
bool ReadPageModel(const ElementHider& hider, const TaskDB& db, PageModel& out,
                   const std::function<bool(size_t, size_t)>& step);

class EPageModel : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
