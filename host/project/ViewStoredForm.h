#pragma once
// The project file's forms of what the model keeps typed: the view, the windows, camera places
// and the keys the host does not know. Each value the host did not change is written back as it
// was read, so a project saved unchanged keeps its bytes.
#include "host/model/Element.h"
#include "host/model/ViewRecords.h"

#include <nlohmann/json.hpp>

// The view: the camera with defaults for whatever the file lacks or holds out of range.
HostView ReadView(const nlohmann::json& view);
nlohmann::json WriteView(const HostView& view);

HostWindows ReadWindows(const nlohmann::json& windows);
nlohmann::json WriteWindows(const HostWindows& windows);

// A camera element's place, from the keys beside its record.
CameraPlace ReadCameraPlace(const nlohmann::json& element);

nlohmann::json ParseStoredValue(const std::string& text);
nlohmann::json WriteStoredKeys(const StoredKeys& keys);
// Over the element's kept keys: the place's keys where it differs from what they hold.
void WriteCameraPlace(const CameraPlace& place, nlohmann::json& element);
