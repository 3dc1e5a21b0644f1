#include "host/script/ScriptHelp.h"

std::string QuorvelHelpText() {
    return ProgramHelp(kScriptProgram) + R"(
Script: one command a line; # starts a comment; "quoted arguments" may hold blanks, \" and \\.
Texts are UTF-8, dates YYYY-MM-DD, rows and items count from 1.

Commands:
  new                          start a new, empty host project
  open FILE                    open a host project (.qvp) or an IFC model (.ifc, as a new project)
  open FILE.ifc layers=storey  open an IFC model with a layer for each storey
  save FILE                    save the host project (.qvp)
  update FILE.ifc              bring a later revision of the IFC model into the open project
  shared USERID                make the open project shared with this user (1-32767)
  reset-preferences            reset the preferences (the add-on hears of it)
  select ID...                 select these elements by ID text (none: clear the selection)
  select-by [layer NAME] [kind N[,N...]]   select every element on the layer and of the kinds
  select-where CONDITION [and CONDITION]...   select every element that meets all conditions:
                               class=, type=, storey=, layer=, name= (the ID text), material=,
                               tag=, description=, globalid=, classification=, PSET.NAME=
                               (any fact) with a PATTERN (* and ?, any letter case; KEY="a b"
                               for blanks), kind=N[,N...], linked, unlinked; prints "selected N"
  lock ID | unlock ID          lock or unlock an element (an undo step)
  layer NAME hide|show|lock|unlock   change a layer's flags
  undo | redo                  undo or redo the last step
  userdata ID VERSION HEX      set an element's raw add-on user data block
  render FILE.png [3d|photo] [WIDTHxHEIGHT]   write a picture of the 3D window or of the photo
                               window (at its own size, or this one, each side up to 4096)
  view fit                     move the 3D view to show the whole building
  menu N                       choose item N of the add-on's menu (see below)
  palette click ITEM           press a palette item (see below)
  palette select ROW           select a row of the task list (0: none)
  palette dblclick ROW         double-click a row (starts editing it)
  palette name TEXT            type into the edited row's name
  palette kind N               choose the edited row's construction type (1-5)
  palette start DATE           set the edited row's start
  palette finish DATE          set the edited row's finish
  palette date DATE            set the current date
  palette focus ITEM           move the keyboard focus to an item (10, the date, ends a row edit)
  palette close                close the palette with its close box
  palette message N            palette manager message: 1 close, 2 hide, 3 show, 4 disable, 5 enable
  palette resize DX DY         grow or shrink the palette
  chart show|hide              show or hide the schedule chart (menu item 12)
  chart click ROW | dblclick ROW | toggle ROW   click a row's bar, double-click it (edits the
                               palette's row), fold or unfold a summary row
  chart drag-date DATE [STEPS] drag the current-date line to DATE through STEPS dates between
  chart drag-bar ROW start|finish|move DAYS   drag a bar's start, finish or the whole bar
  chart key left|right|space [shift]   a day (a week) earlier or later; space plays or pauses
  chart zoom in|out            zoom the time scale
  chart play FROM TO 1|7|30    play from FROM to TO at that many days a second (every day shown)
  chart undo                   undo the last bar drag
  render chart FILE.png        write a picture of the schedule chart
  stop-at FRAME                press the progress window's stop while this frame is made
  answer N...                  the buttons to press in the next questions (1-3)
  choose PATH [KIND] | choose cancel   the next file dialog's answer (KIND: filter index from 0)
  dialog ID ITEM=VALUE... [press ITEM]...   the next modal dialog ID's changes, then presses (default 1)
  print tasks | palette | chart | settings   the add-on's schedule, palette, chart and movie settings
  print elements | element ID | layers | materials | selection | userdata ID   the host model
  print facts ID               what the IFC model says the element is, one "fact ID KEY VALUE" a line
  print work-schedules         the IFC model's work schedules, tasks, sequences and task elements

Menu items (menu N):
  1  Mutasd/Rejtsd el a tevékenységlistát   show or hide the activity palette
  2  -                                      separator (cannot be chosen)
  3  Nyiss projektet...                     open a schedule (project file or schedule text)
  4  Mentsd a projektet...                  save the schedule
  5  Mentsd a projektet mint...             save the schedule under another name
  6  Készíts animációt...                   make a movie of the construction
  7  Kapcsolás szabályokkal...              link elements to tasks by the rules of a file (JSON)
  8  Kapcsolatok beolvasása...              read links from a CSV file
  9  Kapcsolatok kiírása...                 write every link to a CSV file
  10 Ütemterv az IFC modellből              read the IFC model's work schedule into the schedule and links
  11 Ütemterv mentése IFC-be...             write a copy of the IFC4 model with the schedule added
  12 Mutasd/Rejtsd el az ütemtervet         show or hide the schedule chart
  13 Ne ellenőrizd / Ellenőrizd az alátámasztást   turn the check of what elements stand on off or on

Palette items (palette click ITEM, palette focus ITEM):
  1  Kapcsold                       link the selected elements to the selected task
  2  Bontsd a kapcsolatot           unlink the selected elements
  3  Mutasd a kapcsoltakat / Ne jelöld   mark the tasks linked to the selection / clear the marks
  4  Jelöld ki a kapcsoltakat       select the elements linked to the selected task
  5  Jelöld ki a nem kapcsoltakat   select the elements linked to no task
  6  Új tevékenység                 add a new task
  7  Tevékenység törlése            delete the selected task and its links
  8  Mutasd mind                    show every element as it is
  9  Mutasd ami felépült            show the building as it stands at the current date
  10 current date                   11 its label
  12 name editor   13 type editor   14 start editor   15 finish editor (of the edited row)
  16 task list
  17-21 column headers: sort by task, type, state, start, finish (again: reverse)

Dialogs (dialog ID): 32503 movie settings, 32505 date order of a schedule text,
avi-options AVI compression, object-settings the label object's library part; see SCRIPTING.md.

Transcript lines:
  alert ID BUTTON ["PARAM"...]   an alert was shown and BUTTON pressed
  # TEXT                         after each alert: its title, main text and explanation
  report TEXT                    a line written to the report window
  undo-step "NAME"               an undo step was closed
  file-dialog open|save|movie PATH|cancel KIND   a file dialog was answered
  dialog ID confirmed|cancelled  a modal dialog closed
  menu-text ITEM "TEXT"          the add-on changed a menu item's text
  progress N/MAX                 the progress window moved
  error TEXT                     a command failed; "error line N: ..." names the script line
                                 of an answer that was refused or never used
  other lines                    the output of print commands
Without --lang the host's own texts in the transcript are as SCRIPTING.md shows them.
)";
}
