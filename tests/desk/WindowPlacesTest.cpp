// Windows open inside the screen the first time and come back where they were left; a place no
// screen shows any more falls back to the default.
#include "desk/window/WindowPlaces.h"
#include "QtTestApp.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

class WindowPlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        QtTestApp();
        path = (std::filesystem::temp_directory_path() / ("bv-places-" + std::to_string(getpid()))).string();
        std::remove(path.c_str());
        room = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void TearDown() override { std::remove(path.c_str()); }

    // A store as the next run of the program finds it.
    PreferenceStore Reopened() {
        PreferenceStore store(path);
        std::string error;
        EXPECT_TRUE(store.Load(error)) << error;
        return store;
    }

    std::string path;
    QRect room;
};

TEST_F(WindowPlacesTest, AtFirstStartEveryWindowLiesInsideTheScreen) {
    PreferenceStore store(path);
    WindowPlaces places(store);
    QWidget main;
    places.PlaceMain(&main, QStringLiteral("main"), QSize(5000, 700)); // wider than any screen
    EXPECT_TRUE(room.contains(main.geometry())) << main.geometry().x() << "," << main.geometry().width();
    EXPECT_EQ(main.geometry().center().x(), room.center().x());
    QWidget tool(nullptr, Qt::Tool);
    tool.resize(300, 200);
    // A default place half off the screen is pulled onto it.
    places.Manage(&tool, QStringLiteral("tool"), [this](QSize) { return room.bottomRight() - QPoint(100, 50); });
    tool.show();
    EXPECT_TRUE(room.contains(tool.frameGeometry())) << tool.frameGeometry().x() << "," << tool.frameGeometry().y();
}

TEST_F(WindowPlacesTest, WindowsComeBackWhereTheyWereLeft) {
    QRect left(room.left() + 140, room.top() + 90, 420, 260);
    QRect mainLeft(room.left() + 30, room.top() + 40, 900, 600);
    {
        PreferenceStore store(path);
        WindowPlaces places(store);
        QWidget main;
        places.PlaceMain(&main, QStringLiteral("main"), QSize(800, 600));
        main.show();
        main.setGeometry(mainLeft);
        QWidget tool(nullptr, Qt::Tool);
        places.Manage(&tool, QStringLiteral("tool"), [](QSize) { return QPoint(0, 0); });
        tool.show();
        tool.setGeometry(left);
        tool.hide(); // hiding writes the places
        std::string error;
        ASSERT_TRUE(places.Save(error)) << error;
    }
    PreferenceStore store = Reopened();
    WindowPlaces places(store);
    QWidget main;
    places.PlaceMain(&main, QStringLiteral("main"), QSize(800, 600));
    EXPECT_EQ(main.geometry(), mainLeft);
    QWidget tool(nullptr, Qt::Tool);
    places.Manage(&tool, QStringLiteral("tool"), [](QSize) { return QPoint(0, 0); });
    tool.show();
    EXPECT_EQ(tool.geometry(), left);
}

TEST_F(WindowPlacesTest, APlaceOffEveryScreenFallsBackToTheDefaultAndABadLineIsSkipped) {
    {
        PreferenceStore store(path);
        std::string text = "tool 9000 9000 300 200 0\nmain x y\nother 10 10 200 100 0\n";
        std::string error;
        ASSERT_TRUE(store.Write(WindowPlaces::kStoreName, 1, {text.begin(), text.end()}, error)) << error;
    }
    PreferenceStore store = Reopened();
    WindowPlaces places(store);
    EXPECT_FALSE(places.Remembered(QStringLiteral("main")));
    EXPECT_EQ(places.Remembered(QStringLiteral("other")), QRect(10, 10, 200, 100));
    QWidget tool(nullptr, Qt::Tool);
    tool.resize(300, 200);
    QPoint home = room.topLeft() + QPoint(50, 60);
    places.Manage(&tool, QStringLiteral("tool"), [home](QSize) { return home; });
    tool.show();
    EXPECT_EQ(tool.pos(), home);
    // A remembered place half on the screen comes back onto it whole.
    QWidget other(nullptr, Qt::Tool);
    {
        PreferenceStore s2(path);
        std::string error;
        std::string text = "other " + std::to_string(room.right() - 100) + " 40 300 200 0\n";
        ASSERT_TRUE(s2.Write(WindowPlaces::kStoreName, 1, {text.begin(), text.end()}, error));
    }
    PreferenceStore again = Reopened();
    WindowPlaces placesAgain(again);
    placesAgain.Manage(&other, QStringLiteral("other"), [](QSize) { return QPoint(0, 0); });
    other.show();
    EXPECT_EQ(other.geometry(), QRect(room.right() + 1 - 300, 40, 300, 200));
}

TEST(KeptInsideTest, ARectangleIsMovedAndIfNeedBeShrunkIntoTheRoom) {
    QRect room(0, 0, 1000, 800);
    EXPECT_EQ(KeptInside(QRect(900, 700, 200, 200), room), QRect(800, 600, 200, 200));
    EXPECT_EQ(KeptInside(QRect(-50, 10, 2000, 100), room), QRect(0, 10, 1000, 100));
    EXPECT_EQ(KeptInside(QRect(10, 10, 100, 100), room), QRect(10, 10, 100, 100));
}

} // namespace
