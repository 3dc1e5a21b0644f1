// The script's picture of the host's windows: render FILE.png [3d|photo].
#include "host/app/Host.h"
#include "host/render/Pictures.h"
#include "host/render/WindowPictures.h"
#include "host/script/ScriptInterpreter.h"

void AddRenderCommands(ScriptInterpreter& interpreter) {
    Host& host = interpreter.GetHost();
    interpreter.AddCommand("render", [&host](const ScriptInterpreter::Args& args, std::string& error) {
        if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "3d" && args[1] != "photo")) {
            error = "usage: render FILE.png [3d|photo]";
            return false;
        }
        RenderStyle style = args.size() == 2 && args[1] == "photo" ? RenderStyle::Photo : RenderStyle::Window3D;
        return WritePng(args[0], RenderWindow(host.Model(), style), error);
    });
}
