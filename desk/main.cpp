// quorvel-desk: the host as a desktop window, with the add-on's palette and dialogs.
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"

#include <QApplication>

#include <cstdio>
#include <string>

namespace {

int Usage(const std::string& message) {
    std::fprintf(stderr, "quorvel-desk: %s\nusage: quorvel-desk [--model FILE] [--addon FILE] [--prefs FILE] "
                         "[--now YYYY-MM-DD[THH:MM]]\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel-desk"));
    DeskOptions options;
    std::string error;
    if (!ParseDeskOptions(argc, argv, options, error)) return Usage(error);
    DeskSession session;
    StartResult how = StartResult::Ready;
    if (!session.Start(options, error, &how)) {
        if (how == StartResult::BadClock) return Usage(error);
        std::fprintf(stderr, "quorvel-desk: %s\n", error.c_str());
        return 1;
    }
    session.Window().show();
    return app.exec();
}
