#pragma once
// The add-on's menu (string list 32500) and the label object type it registers.
#include "hostapi/HostAPI.h"

#include <cstdint>

constexpr int16_t kAddonMenuId = 32500;
// The string list of the menu's prompt texts.
constexpr int16_t kAddonMenuPromptId = 32650;

// Item 2 is a separator.
enum class AddonMenuItem : int32_t {
    ShowPalette = 1,
    OpenProject = 3,
    SaveProject = 4,
    SaveProjectAs = 5,
    MakeAnimation = 6,
    LinkByRules = 7,
    ImportLinks = 8,
    ExportLinks = 9,
    ScheduleFromIfc = 10,
    ScheduleIntoIfc = 11,
    ShowChart = 12,
    SupportCheck = 13,
    Profiles = 14,
    ReadProfiles = 15,
    WriteProfiles = 16,
    ShareWebPage = 17,
    ShowSCurve = 18,
    ReportSlips = 19,
    WriteRevisionReport = 20
};

// The label object's type: its variation code and the template and icon resource it comes from.
constexpr uint32_t kLabelObjectVariation = HOST_FOURCC('C', 'a', 'p', 't');
constexpr int16_t kLabelObjectTemplateId = 132;
// The string list of its name and prompt.
constexpr int16_t kLabelObjectNameId = 32530;
