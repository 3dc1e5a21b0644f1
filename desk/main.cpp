// quorvel-desk: the host as a desktop window, with the add-on's palette and dialogs.
#include "desk/window/DeskSession.h"
#include "host/app/LargeHeapPages.h"
#include "desk/window/MainWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage(const std::string& message) {
    std::fprintf(stderr, "quorvel-desk: %s\nusage: quorvel-desk [--model FILE] [--addon FILE] [--prefs FILE] "
                         "[--now YYYY-MM-DD[THH:MM]] [--lang hu|en]\n       quorvel-desk --help | --version\n",
                 message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    RestartWithLargeHeapPages(argv);
    // Answered before Qt looks for a display: help and version are read where there is none.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(DeskHelpText().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("quorvel-desk %s\n", kQuorvelVersion);
            return 0;
        }
    }
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
