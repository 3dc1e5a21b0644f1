#include "host/script/ScriptCommandTable.h"

#include "host/script/AddonCommands.h"
#include "host/script/HostCommands.h"
#include "host/script/RenderCommands.h"

#include <algorithm>

namespace {

bool RunPrintCommand(ScriptInterpreter& in, const ScriptArgs& args, std::string& error) { return in.RunPrint(args, error); }

constexpr size_t kAny = ScriptCommand::kAnyCount;

// The help's lines keep their columns: a description starts at column 32, a longer line goes on
// below it.
const std::vector<ScriptCommand> kCommands = {
    {"new", 0, kAny, "new",
     R"(  new                          start a new, empty host project
)",
     RunNew},
    {"open", 1, 2, "open FILE [layers=storey]",
     R"(  open FILE                    open a host project (.qvp) or an IFC model (.ifc, as a new project)
  open FILE.ifc layers=storey  open an IFC model with a layer for each storey
)",
     RunOpen},
    {"save", 1, 1, "save FILE",
     R"(  save FILE                    save the host project (.qvp)
)",
     RunSave},
    {"update", 1, 2, "update FILE.ifc [model=NAME]",
     R"(  update FILE.ifc              bring a later revision of the IFC model into the open project
  update FILE.ifc model=NAME   revise one of the project's models; the others stay as they are
)",
     RunUpdate},
    {"add", 1, 3, "add FILE.ifc [name=NAME] [layers=storey]",
     R"(  add FILE.ifc [name=NAME] [layers=storey]   add another IFC model beside the project's (its name:
                               the file's by default), on layers "NAME: layer" or by storey
)",
     RunAddModel},
    {"remove-model", 1, 1, "remove-model NAME",
     R"(  remove-model NAME            take one of the project's IFC models away with its elements
)",
     RunRemoveModel},
    {"shared", 1, 1, "shared USERID (1-32767)",
     R"(  shared USERID                make the open project shared with this user (1-32767)
)",
     RunShared},
    {"reset-preferences", 0, kAny, "reset-preferences",
     R"(  reset-preferences            reset the preferences (the add-on hears of it)
)",
     RunResetPreferences},
    {"select", 0, kAny, "select ID...",
     R"(  select ID...                 select these elements by ID text (none: clear the selection)
)",
     RunSelect},
    {"select-by", 0, kAny, "select-by [layer NAME] [kind N[,N...]]",
     R"(  select-by [layer NAME] [kind N[,N...]]   select every element on the layer and of the kinds
)",
     RunSelectBy},
    {"select-where", 1, kAny, "select-where CONDITION [and CONDITION]...",
     R"(  select-where CONDITION [and CONDITION]...   select every element that meets all conditions:
                               class=, type=, storey=, layer=, name= (the ID text), material=,
                               tag=, description=, globalid=, classification=, model= (which
                               of several IFC models), PSET.NAME= (any fact) with a PATTERN (*
                               and ?, any letter case; KEY="a b" for blanks), kind=N[,N...],
                               linked, unlinked; prints "selected N"
)",
     RunSelectWhere},
    {"lock", 1, 1, "lock|unlock ID",
     R"(  lock ID | unlock ID          lock or unlock an element (an undo step)
)",
     RunLock},
    {"unlock", 1, 1, "lock|unlock ID",
     "",
     RunUnlock},
    {"layer", 2, 2, "layer NAME hide|show|lock|unlock",
     R"(  layer NAME hide|show|lock|unlock   change a layer's flags
)",
     RunLayer},
    {"undo", 0, kAny, "undo",
     R"(  undo | redo                  undo or redo the last step
)",
     RunUndo},
    {"redo", 0, kAny, "redo",
     "",
     RunRedo},
    {"userdata", 3, 3, "userdata ID VERSION HEX",
     R"(  userdata ID VERSION HEX      set an element's raw add-on user data block
)",
     RunUserData},
    {"render", 1, 4, "render [second] FILE.png [3d|photo] [WIDTHxHEIGHT] | render chart FILE.png | render s-curve FILE.png [KEY]",
     R"(  render FILE.png [3d|photo] [WIDTHxHEIGHT]   write a picture of the 3D window or of the photo
                               window (at its own size, or this one, each side up to 4096)
  render second FILE.png ...   the same of the second 3D window (view second open)
)",
     RunRender},
    {"view", 1, 2, "view fit | view second open|close",
     R"(  view fit                     move the 3D view to show the whole building
  view second open|close       open or close the second 3D window, the other view beside
)",
     RunView},
    {"menu", 1, 1, "menu N",
     R"(  menu N                       choose item N of the add-on's menu (see below)
)",
     RunMenu},
    {"palette", 1, kAny, "palette click|select|dblclick|name|kind|profile|start|finish|started|finished|percent|date|focus|close|message|resize ...",
     R"(  palette click ITEM           press a palette item (see below)
  palette select ROW           select a row of the task list (0: none)
  palette dblclick ROW         double-click a row (starts editing it)
  palette name TEXT            type into the edited row's name
  palette kind N               choose the edited row's construction type (1-5)
  palette profile NAME|-       choose the edited row's appearance profile (-: its type's)
  palette start DATE           set the edited row's start
  palette finish DATE          set the edited row's finish
  palette started DATE|-       the edited row's actual start (-: not begun)
  palette finished DATE|-      the edited row's actual finish (-: not finished)
  palette percent N            the edited row's percent complete (0-100)
  palette date DATE            set the current date
  palette focus ITEM           move the keyboard focus to an item (10, the date, ends a row edit)
  palette close                close the palette with its close box
  palette message N            palette manager message: 1 close, 2 hide, 3 show, 4 disable, 5 enable
  palette resize DX DY         grow or shrink the palette
)",
     RunPalette},
    {"schedule", 2, 2, "schedule view planned|actual|compare | status-date DATE | baseline NAME",
     R"(  schedule view planned|actual|compare   the dates the model follows: the plan's, the
                               actual ones, or the plan with work ahead blue and behind red
  schedule status-date DATE    what happened is known up to the end of DATE
  schedule baseline NAME       keep the tasks' planned dates as a baseline of that name
)",
     RunSchedule},
    // With the chart's picture, which `render chart` writes.
    {"chart", 1, kAny, "chart show|hide|click ROW|dblclick ROW|toggle ROW|drag-date DATE [STEPS]|status-date DATE|drag-bar ROW start|finish|move DAYS|key left|right|space [shift]|zoom in|out|play FROM TO 1|7|30|undo",
     R"(  chart show|hide              show or hide the schedule chart (menu item 12)
  chart click ROW | dblclick ROW | toggle ROW   click a row's bar, double-click it (edits the
                               palette's row), fold or unfold a summary row
  chart drag-date DATE [STEPS] drag the current-date line to DATE through STEPS dates between
  chart status-date DATE       Shift and a press in the scale: the status date to the end of DATE
  chart drag-bar ROW start|finish|move DAYS   drag a bar's start, finish or the whole bar
  chart key left|right|space [shift]   a day (a week) earlier or later; space plays or pauses
  chart zoom in|out            zoom the time scale
  chart play FROM TO 1|7|30    play from FROM to TO at that many days a second (every day shown)
  chart undo                   undo the last bar drag
  render chart FILE.png        write a picture of the schedule chart
  render s-curve FILE.png [KEY]   write a picture of the S-curve, weighed by KEY or the elements
)",
     RunChart},
    {"stop-at", 1, 1, "stop-at FRAME",
     R"(  stop-at FRAME                press the progress window's stop while this frame is made
)",
     RunStopAt},
    {"answer", 0, kAny, "answer N... (1-3)",
     R"(  answer N...                  the buttons to press in the next questions (1-3)
)",
     RunAnswer},
    {"choose", 1, 2, "choose PATH [KIND] | choose cancel",
     R"(  choose PATH [KIND] | choose cancel   the next file dialog's answer (KIND: filter index from 0)
)",
     RunChoose},
    {"dialog", 1, kAny, "dialog ID ITEM=VALUE... [press ITEM]...",
     R"(  dialog ID ITEM=VALUE... [press ITEM]...   the next modal dialog ID's changes, then presses (default 1)
)",
     RunDialog},
    {"print", 0, kAny, "print WHAT ...",
     R"(  print tasks | palette | chart | settings | profiles   the add-on's schedule, palette, chart, movie settings
                               and appearance profiles
  print elements | element ID | layers | materials | selection | userdata ID   the host model
  print facts ID               what the IFC model says the element is, one "fact ID KEY VALUE" a line
  print states                 what each element with a body shows, one "state ID TEXT" a line (hidden,
                               model, work, colour #rrggbb, ghost #rrggbb T, then grown D while growing)
  print work-schedules         the IFC model's work schedules, tasks, sequences and task elements
  print baselines              each baseline kept, then the tasks that moved against it, worst first
  print s-curve [KEY]          planned against actual progress a day, weighed by linked elements or
                               by their quantity KEY (Qto_WallBaseQuantities.NetVolume)
)",
     RunPrintCommand},
};

} // namespace

bool ScriptCommand::Run(ScriptInterpreter& in, const ScriptArgs& args, std::string& error) const {
    if (args.size() < fewestArgs || args.size() > mostArgs) {
        error = "usage: " + std::string(usage);
        return false;
    }
    return body(in, args, error);
}

const std::vector<ScriptCommand>& ScriptCommands() { return kCommands; }

const ScriptCommand* FindScriptCommand(std::string_view name) {
    auto it = std::find_if(kCommands.begin(), kCommands.end(), [&](const ScriptCommand& c) { return c.name == name; });
    return it == kCommands.end() ? nullptr : &*it;
}

bool ScriptUsage(std::string_view name, std::string& error) {
    const ScriptCommand* command = FindScriptCommand(name);
    error = "usage: " + std::string(command ? command->usage : name);
    return false;
}

std::string ScriptCommandsHelp() {
    std::string text;
    for (const ScriptCommand& c : kCommands) text += c.help;
    return text;
}
