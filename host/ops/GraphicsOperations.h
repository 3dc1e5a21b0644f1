#pragma once
// The host's 3D window and photo window as the operation table offers them: the camera
// ("GP3D", "CP3D"), window sizes ("GW3D", "GREN"), pictures ("CIMG"), the capture mode
// ("SECF") and camera path positions ("SLSH"). Each returns the operation's answer.
#include "host/render/Renderer.h"
#include "hostapi/HostAPI.h"

#include <utility>

class Host;
class HostModel;

GSErr GetProjection(Host& host, void* record);
GSErr ChangeProjection(Host& host, void* record, void* param2);
GSErr GetWindowSize(Host& host, bool photo, void* record, void* param2);
GSErr CaptureWindow(Host& host, void* pictureOut, void* options);
GSErr SetCaptureMode(Host& host, void* flag);
GSErr CameraPathPositions(Host& host, void* wrapper, void* positionsOut);

// The window's size in pixels and its picture, from the project's "view" and "windows".
std::pair<int32_t, int32_t> WindowSize(const HostModel& model, RenderStyle style);
Image RenderWindow(HostModel& model, RenderStyle style);
// The window's background colour as the project keeps it, the renderer's default otherwise.
Rgb WindowBackground(const HostModel& model, RenderStyle style);
