#pragma once
// The host's 3D window and photo window as the operation table offers them: the camera
// ("GP3D", "CP3D"), window sizes ("GW3D", "GREN"), pictures ("CIMG"), the capture mode
// ("SECF") and camera path positions ("SLSH"). Each returns the operation's answer.
#include "host/render/Renderer.h"
#include "hostapi/HostAPI.h"

#include <utility>

class HostCore;
class HostModel;

GSErr GetProjection(HostCore& host, void* record);
GSErr ChangeProjection(HostCore& host, void* record, void* param2);
GSErr GetWindowSize(HostCore& host, bool photo, void* record, void* param2);
// "CIMS": the window's picture at the record's size, the view widened to fit it; into the caller's
// picture when the record says so.
GSErr CaptureWindowSized(HostCore& host, void* pictureOut, void* record);
// "DCNV": a DialogKit canvas painted over the picture, its texts in the label's font.
GSErr DrawCanvasOnPicture(void* pictureHandle, void* canvas);
GSErr CaptureWindow(HostCore& host, void* pictureOut, void* options);
GSErr SetCaptureMode(HostCore& host, void* flag);
GSErr CameraPathPositions(HostCore& host, void* wrapper, void* positionsOut);
