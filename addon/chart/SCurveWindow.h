#pragma once
// The S-curve window: the schedule's planned against actual progress over time, the work weighed
// by its elements (the key field empty) or by a quantity of theirs named by its key.
#include "dialogkit/DGDialog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TaskDB;

class SCurveWindow : public IDGObserver {
public:
    static constexpr int32_t kDialogId = 32422;
    enum Item : int16_t { kKeyLabel = 1, kKey = 2, kArea = 3 };
    // The work's weights by task index for a key (8-bit; empty: linked elements).
    using Weigh = std::function<std::vector<double>(const std::string& key)>;

    SCurveWindow(TaskDB& taskDB, Weigh weigh);
    ~SCurveWindow() override;

    DGDialog* Dialog() { return dialog_.get(); }
    bool IsVisible() const { return dialog_ && dialog_->IsVisible(); }
    void Show(bool show);

    // IDGObserver
    void CloseRequested(DGDialog&) override;
    void DialogResized(DGDialog&, int16_t dx, int16_t dy) override;
    void ItemChanged(DGDialog&, int16_t item) override;
    void UserAreaDraw(DGDialog&, int16_t item, DGCanvas& canvas) override;
    // `key [TEXT]`: the quantity the work is weighed by, none for the linked elements.
    bool ScriptGesture(DGDialog&, const std::vector<std::string>& args, std::string& error) override;

private:
    TaskDB& taskDB_;
    Weigh weigh_;
    std::unique_ptr<DGDialog> dialog_;
};
