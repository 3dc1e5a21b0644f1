#pragma once
// The one place that sequences the display's verbs. A caller names the pass it wants; the
// display is prepared, the pass begun and the undo step opened here, and each is closed again in
// the reverse order however the work between them ends. A failure still leaves for the caller,
// after what it opened is closed; when closing fails too, the first failure is the one reported.
#include <functional>
#include <string>

class ElementHider;
class TaskDB;

class DisplayPass {
public:
    DisplayPass(ElementHider& hider, TaskDB& db) : hider_(hider), db_(db) {}

    // The model as built at the schedule's current date, as one undo step named `undoStep`.
    void ShowAtCurrentDate(const std::string& undoStep);
    // Every element as its own again, as one undo step named `undoStep`.
    void ShowAll(const std::string& undoStep);

    // A movie: `makeFrames` runs on the prepared display and shows each frame with ShowFrame.
    // Gives back what `makeFrames` does.
    bool Movie(const std::function<bool()>& makeFrames);
    // One frame of a movie at the schedule's current date; its changes join no undo step.
    void ShowFrame();
    // One date of a drag through the schedule: the model at the current date, joining the undo
    // step the caller holds open, without alert. The first date of a drag checks every element
    // when the schedule has unsaved changes; the dates after it follow the display's cache.
    void ScrubStep(bool first);

private:
    ElementHider& hider_;
    TaskDB& db_;
};
