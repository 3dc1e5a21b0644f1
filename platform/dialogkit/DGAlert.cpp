#include "dialogkit/DGAlert.h"

#include "basekit/BKResources.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGBackEnd.h"

#include <string>
#include <vector>

namespace {

// Replaces each "%s" by the next parameter; once they run out the rest stay as written.
std::string FillParams(const std::string& text, const std::vector<std::string>& params, size_t& next) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && next < params.size()) {
            out += params[next++];
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace

int DGAlert(int16_t alertId, const char* param1, const char* param2, const char* param3) {
    BKAlertTemplate tmpl;
    if (!BKGetAlert(tmpl, alertId)) return 0;

    DGAlertRecord record;
    record.id = alertId;
    record.kind = tmpl.kind;
    for (const char* p : {param1, param2, param3}) {
        if (p == nullptr) break;
        record.params.emplace_back(p);
    }
    size_t next = 0;
    record.title = FillParams(tmpl.title, record.params, next);
    record.main = FillParams(tmpl.main, record.params, next);
    record.explanation = FillParams(tmpl.explanation, record.params, next);
    record.buttons = tmpl.buttons;
    int buttonCount = static_cast<int>(record.buttons.size());
    if (buttonCount == 0) {
        record.buttons.push_back("OK");
        buttonCount = 1;
    }

    if (IDGBackEnd* backEnd = DGCurrentBackEnd()) {
        int answer = backEnd->RunAlert(record);
        record.answer = answer >= 1 && answer <= buttonCount ? answer : buttonCount;
        record.fromQueue = buttonCount > 1;
    } else if (buttonCount == 1) {
        record.answer = 1;
    } else if (auto queued = DGTakeAlertAnswer(); queued && *queued >= 1 && *queued <= buttonCount) {
        record.answer = *queued;
        record.fromQueue = true;
    } else {
        // Nobody is there to answer: the cancelling (last) button.
        record.answer = buttonCount;
        DGCountUnansweredQuestion();
    }
    DGRecordAlert(record);
    return record.answer;
}
