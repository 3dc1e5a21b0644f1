#include "host/script/ScriptHelp.h"

#include "host/script/ScriptCommandTable.h"

std::string QuorvelHelpText() {
    return ProgramHelp(kScriptProgram) + R"(
Script: one command a line; # starts a comment; "quoted arguments" may hold blanks, \" and \\.
Texts are UTF-8, dates YYYY-MM-DD, rows and items count from 1.

Commands:
)" + ScriptCommandsHelp() + R"(
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
  14 Megjelenítési profilok...              add, copy, rename, delete and edit the appearance profiles
  15 Profilok beolvasása...                 read appearance profiles from a file (JSON)
  16 Profilok kiírása...                    write the appearance profiles to a file (JSON)
  17 Megosztás weboldalként...              write the model and schedule as one web page (.html) that
                                            plays the job in any browser, offline
  18 Mutasd/Rejtsd el az S-görbét          show or hide the S-curve window (planned against actual)
  19 Eltérés az alaptervtől                 list the tasks that moved against the last baseline kept
  20 A revízió jelentése CSV-be...          write the last model update's link report to a CSV file

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
  22 profile editor (of the edited row, over its state)
  23 view (planned, actual, compare)   24 status date   25 its label
  26 Alapterv mentése (dialog 32509 asks the name)   27 Kész az állapot dátumáig (the selected task)
  28-31 begun, its actual start, finished, its actual finish   33 percent complete (of the edited row)

Dialogs (dialog ID): 32503 movie settings, 32505 date order of a schedule text, 32509 baseline name,
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
