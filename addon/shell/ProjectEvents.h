#pragma once
// The add-on's answers to the host's project events: a closing project offers its schedule for
// saving, an opened one reopens it, a revision of the model applies the link rules again, and a
// reset of the preferences resets the movie settings.
#include "hostapi/HostAPI.h"

GSErr ProjectClosingHandler(uint32_t event, int32_t param);
GSErr ProjectOpenedHandler(uint32_t event, int32_t param);
GSErr NewProjectHandler(uint32_t event, int32_t param);
GSErr PreferencesResetHandler(uint32_t event, int32_t param);
// The model took a revision: the schedule's link rules apply again.
GSErr ModelUpdatedHandler(uint32_t event, int32_t param);
// The host writes a recovery copy: the schedule's unsaved work goes with it.
GSErr RecoveryWriteHandler(uint32_t event, int32_t param);
// The host's second window opened: it shows the schedule's other view at the current date.
GSErr SecondViewHandler(uint32_t event, int32_t param);
// With unsaved changes, asks whether to save the schedule (alert 32514) and saves on "Igen".
void OfferToSaveSchedule();
