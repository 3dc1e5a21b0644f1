#pragma once
// The project file's form of the construction schedule a model's IFC file carries, so that a
// project saved from an IFC model still knows it after it is opened again.
#include "host/model/ModelWorkSchedules.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

// A stored form that is not one the writer makes; what() is "PLACE: what is wrong".
struct EWorkSchedulesForm : std::runtime_error {
    EWorkSchedulesForm(const std::string& place, const std::string& what) : std::runtime_error(place + ": " + what) {}
};

// Texts longer than this are cut (at a character) on writing and refused on reading.
constexpr size_t kMaxStoredScheduleText = 4096;

nlohmann::json WriteWorkSchedules(const ModelWorkSchedules& schedules);
// Every count, index, offset and text length is checked against what the writer makes; throws
// EWorkSchedulesForm naming the place (under `place`) for anything else.
ModelWorkSchedules ReadWorkSchedules(const nlohmann::json& stored, const std::string& place);
