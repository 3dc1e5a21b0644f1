#pragma once
// The one Qt application of a GoogleTest program whose tests draw or make widgets, made on first
// use and kept to the program's end.
#include <QApplication>

inline QApplication& QtTestApp() {
    static int argc = 1;
    static char name[] = "test_desk";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
