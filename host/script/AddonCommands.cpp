// Script commands that act as the user on the add-on: its menu, its palette, file dialog answers,
// and the prints of its state.
#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGDialog.h"
#include "filekit/FKFileDialog.h"
#include "host/app/Host.h"
#include "host/script/AddonCommands.h"
#include "host/script/ScriptCommandTable.h"
#include "host/script/ScriptHelp.h"
#include "host/script/ScriptInterpreter.h"
#include "host/script/ScriptLine.h"

#include <charconv>
#include <limits>
#include <sstream>

namespace {

using Args = ScriptInterpreter::Args;
// The frame at which the progress window's stop is pressed; 0 none.
int32_t stopAt = 0;
constexpr int32_t kPaletteId = 32400;
constexpr int32_t kChartId = 32420;
constexpr int32_t kChartMenuItem = 12;

AddonRegistration* MenuOwner(Host& host) {
    for (auto& a : host.Addons())
        if (a->initialized && a->menuHandler) return a.get();
    return nullptr;
}

bool PrintBlock(Host& host, ScriptInterpreter& in, const char* what, std::string& error) {
    for (auto& a : host.Addons()) {
        if (!a->describe) continue;
        const char* text = a->describe(what);
        if (!text) break;
        std::istringstream lines(BKToUtf8(text));
        std::string line;
        while (std::getline(lines, line)) in.Emit(line);
        return true;
    }
    error = std::string("no add-on describes its ") + what;
    return false;
}

// The profile pop-up's entry of that name (the text as the add-on wrote it), "-" its first: the
// type's own. A name is looked for first, so a profile called "-" can be chosen too.
bool ChooseProfileEntry(DGDialog& d, const std::string& utf8Name) {
    const std::vector<DGPopUpEntry>& entries = d.Item(22)->entries;
    const std::string name = BKFromUtf8(utf8Name);
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].text == name) return d.UserChange(22, std::to_string(i + 1));
    return utf8Name == "-" && !entries.empty() && d.UserChange(22, "1");
}

} // namespace

void AttachAddonListeners(ScriptInterpreter& in) {
    // A long task's progress bar, and the stop button pressed at a chosen frame.
    stopAt = 0;
    DGSetProgressListener([&in](DGDialog&, int16_t, int32_t value, int32_t maximum) {
        in.Emit("progress " + std::to_string(value) + "/" + std::to_string(maximum));
    });
    DGSetEventPump([] {
        if (stopAt <= 0) return;
        DGDialog* progress = DGDialog::Find(32450);
        if (progress && progress->ItemValue(3) == stopAt) {
            stopAt = 0;
            progress->UserClick(1);
        }
    });
}

bool RunStopAt(ScriptInterpreter&, const Args& a, std::string& error) {
    int64_t frame = 0;
    if (!ParseScriptInt(a[0], frame) || frame < 1 || frame > 1000000) return ScriptUsage("stop-at", error);
    stopAt = static_cast<int32_t>(frame);
    return true;
}

bool RunMenu(ScriptInterpreter& in, const Args& a, std::string& error) {
    int64_t item = 0;
    if (!ParseScriptInt(a[0], item) || item < 1 || item > 100) return ScriptUsage("menu", error);
    AddonRegistration* owner = MenuOwner(in.GetHost());
    if (!owner) {
        error = "no add-on menu";
        return false;
    }
    // Only the Bauvista menu's items are known here; another add-on's menu is taken on trust.
    if (owner->menuResId == kAddonMenuId && (item > kAddonMenuItems || IsAddonMenuSeparator(item))) {
        error = "menu " + a[0] + ": " +
                (IsAddonMenuSeparator(item) ? "item " + a[0] + " is the separator"
                                             : "the menu has items 1-" + std::to_string(kAddonMenuItems));
        return false;
    }
    HostMenuParams params{owner->menuResId, 0, static_cast<int32_t>(item)};
    owner->menuHandler(&params);
    return true;
}

bool RunChoose(ScriptInterpreter& in, const Args& a, std::string& error) {
    FKFileDialogAnswer answer;
    if (a[0] == "cancel" && a.size() == 1) {
        answer.cancel = true;
    } else {
        answer.path = a[0];
        if (a.size() == 2) {
            int64_t kind = 0;
            if (!ParseScriptInt(a[1], kind) || kind < 0 || kind > 32) {
                error = "usage: choose PATH [KIND]";
                return false;
            }
            answer.filter = static_cast<int32_t>(kind);
        }
    }
    in.NoteFileAnswer(answer.cancel ? "cancel" : a.size() == 2 ? a[0] + " " + a[1] : a[0], answer.cancel);
    FKQueueFileDialogAnswer(std::move(answer));
    return true;
}

bool RunPalette(ScriptInterpreter& in, const Args& a, std::string& error) {
    Host& host = in.GetHost();
    const std::string& verb = a[0];
    if (verb == "message") {
        int64_t n = 0;
        if (a.size() != 2 || !ParseScriptInt(a[1], n) || n < 1 || n > 5) {
            error = "usage: palette message N (1-5)";
            return false;
        }
        for (auto& addon : host.Addons()) {
            auto it = addon->palettes.find(kPaletteId);
            if (it != addon->palettes.end() && it->second.callback) {
                it->second.callback(kPaletteId, static_cast<int32_t>(n), 0);
                return true;
            }
        }
        error = "no palette is registered";
        return false;
    }
    DGDialog* d = DGDialog::Find(kPaletteId);
    if (!d) {
        error = "no palette";
        return false;
    }
    if (!d->IsVisible()) {
        error = "the palette is hidden";
        return false;
    }
    auto number = [&](size_t i, int64_t& out, int64_t lo, int64_t hi) {
        return a.size() > i && ParseScriptInt(a[i], out) && out >= lo && out <= hi;
    };
    int64_t n = 0, m = 0;
    bool ok = false;
    if (verb == "click" && a.size() == 2 && number(1, n, 1, 100)) ok = d->UserClick(static_cast<int16_t>(n));
    else if (verb == "select" && a.size() == 2 && number(1, n, 0, std::numeric_limits<int32_t>::max())) ok = d->UserSelectRow(16, static_cast<int32_t>(n));
    else if (verb == "dblclick" && a.size() == 2 && number(1, n, 1, std::numeric_limits<int32_t>::max())) ok = d->UserDoubleClick(16, static_cast<int32_t>(n));
    else if (verb == "name" && a.size() == 2) ok = d->IsVisible() && d->Item(12)->visible && d->UserChange(12, a[1]);
    else if (verb == "kind" && a.size() == 2) ok = d->Item(13)->visible && d->UserChange(13, a[1]);
    else if (verb == "profile" && a.size() == 2) ok = d->Item(22) && d->Item(22)->visible && ChooseProfileEntry(*d, a[1]);
    else if (verb == "start" && a.size() == 2) ok = d->Item(14)->visible && d->UserChange(14, a[1]);
    else if (verb == "finish" && a.size() == 2) ok = d->Item(15)->visible && d->UserChange(15, a[1]);
    else if (verb == "date" && a.size() == 2) ok = d->UserChange(10, a[1]);
    else if ((verb == "started" || verb == "finished") && a.size() == 2) {
        // The edited row's check box, then its date unless none.
        const int16_t check = verb == "started" ? 28 : 30;
        ok = d->Item(check) && d->Item(check)->visible &&
             (a[1] == "-" ? d->UserChange(check, "0") : d->UserChange(check, "1") && d->UserChange(check + 1, a[1]));
    } else if (verb == "percent" && a.size() == 2) ok = d->Item(33) && d->Item(33)->visible && d->UserChange(33, a[1]);
    else if (verb == "focus" && a.size() == 2 && number(1, n, 1, 100)) ok = d->UserFocus(static_cast<int16_t>(n));
    else if (verb == "close" && a.size() == 1) {
        d->UserCloseRequest();
        ok = true;
    } else if (verb == "resize" && a.size() == 3 && number(1, n, -2000, 2000) && number(2, m, -2000, 2000)) {
        d->UserResize(static_cast<int16_t>(n), static_cast<int16_t>(m));
        ok = true;
    } else {
        error = "usage: palette " + verb + " with other arguments";
        return false;
    }
    if (!ok) error = "the palette did not take: palette " + verb + (a.size() > 1 ? " " + a[1] : "");
    return ok;
}

bool RunSchedule(ScriptInterpreter&, const Args& a, std::string& error) {
    constexpr int16_t kViewChoice = 23, kStatusDate = 24, kKeepBaseline = 26, kBaselineDialog = 32509;
    static const char* const kViews[] = {"planned", "actual", "compare"};
    DGDialog* d = DGDialog::Find(kPaletteId);
    if (!d || !d->IsVisible()) {
        error = d ? "the palette is hidden" : "no palette";
        return false;
    }
    bool ok = false;
    if (a[0] == "view" && a.size() == 2) {
        size_t i = 0;
        while (i < std::size(kViews) && a[1] != kViews[i]) ++i;
        if (i == std::size(kViews)) return ScriptUsage("schedule", error);
        ok = d->Item(kViewChoice) && d->UserChange(kViewChoice, std::to_string(i + 1));
    } else if (a[0] == "status-date" && a.size() == 2) {
        ok = d->Item(kStatusDate) && d->UserChange(kStatusDate, a[1]);
    } else if (a[0] == "baseline" && a.size() == 2 && !a[1].empty()) {
        // The name asked by the baseline dialog, as the user would type it.
        DGQueueDialogAnswer({std::to_string(kBaselineDialog), {{"name", a[1]}}, 1});
        ok = d->Item(kKeepBaseline) && d->UserClick(kKeepBaseline);
    } else {
        return ScriptUsage("schedule", error);
    }
    if (!ok) error = "the palette did not take: schedule " + a[0] + " " + a[1];
    return ok;
}

bool RunChart(ScriptInterpreter& in, const Args& a, std::string& error) {
    DGDialog* d = DGDialog::Find(kChartId);
    if (!d) {
        error = "no chart";
        return false;
    }
    if (a[0] == "show" || a[0] == "hide") {
        if (a.size() != 1) return ScriptUsage("chart", error);
        AddonRegistration* owner = MenuOwner(in.GetHost());
        if (d->IsVisible() != (a[0] == "show") && owner) {
            HostMenuParams params{owner->menuResId, 0, kChartMenuItem};
            owner->menuHandler(&params);
        }
        return true;
    }
    if (!d->IsVisible()) {
        error = "the chart is hidden";
        return false;
    }
    if (d->UserGesture(a, error)) return true;
    if (error.empty()) return ScriptUsage("chart", error);
    return false;
}

void AddAddonPrints(ScriptInterpreter& in) {
    Host& host = in.GetHost();
    in.AddPrint("tasks", [&host, &in](const Args&, std::string& error) { return PrintBlock(host, in, "tasks", error); });
    in.AddPrint("palette", [&host, &in](const Args&, std::string& error) {
        if (!PrintBlock(host, in, "palette", error)) return false;
        auto it = host.menuTexts.find({kAddonMenuId, kAddonMenuPaletteItem});
        if (it != host.menuTexts.end()) in.Emit("menu " + BKToUtf8(it->second));
        return true;
    });
    in.AddPrint("chart", [&host, &in](const Args&, std::string& error) { return PrintBlock(host, in, "chart", error); });
    in.AddPrint("settings", [&host, &in](const Args&, std::string& error) { return PrintBlock(host, in, "settings", error); });
    in.AddPrint("profiles", [&host, &in](const Args&, std::string& error) { return PrintBlock(host, in, "profiles", error); });
    in.AddPrint("baselines", [&host, &in](const Args&, std::string& error) { return PrintBlock(host, in, "baselines", error); });
    in.AddPrint("s-curve", [&host, &in](const Args& a, std::string& error) {
        if (a.size() > 1) {
            error = "usage: print s-curve [KEY]";
            return false;
        }
        const std::string what = a.size() == 1 ? "s-curve " + a[0] : std::string("s-curve");
        return PrintBlock(host, in, what.c_str(), error);
    });
}
