// quorvel-desk: the host as a desktop window, with the add-on's palette and dialogs.
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "host/app/LargeHeapPages.h"
#include "host/app/ProgramCommandLine.h"

#include <QApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    RestartWithLargeHeapPages(argv);
    // Help and version are answered before Qt looks for a display; a fault waits until Qt has
    // taken its own options, which may look like ours.
    CommandLine line = ReadCommandLine(kDeskProgram, argc, argv);
    if (line.ask == CommandLine::Ask::Help || line.ask == CommandLine::Ask::Version)
        return AnswerCommandLine(kDeskProgram, line, ProgramHelp(kDeskProgram));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel-desk"));
    line = ReadCommandLine(kDeskProgram, argc, argv);
    if (line.ask != CommandLine::Ask::Run) return AnswerCommandLine(kDeskProgram, line, ProgramHelp(kDeskProgram));
    DeskSession session;
    StartResult how = StartResult::Ready;
    std::string error;
    if (!session.Start(line.start, error, &how)) {
        if (how == StartResult::BadClock) return FailUsage(kDeskProgram, error);
        std::fprintf(stderr, "quorvel-desk: %s\n", error.c_str());
        return 1;
    }
    session.Window().show();
    return app.exec();
}
