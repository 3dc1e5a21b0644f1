#pragma once
// Where the program's windows open: the main window and each tool window, at their first start
// inside the screen (a tool window in a corner of the main window's free area, the 3D view, so
// it covers no menu or dock), and later where the user left them. Places are kept in the host's
// preference store under the host's own name; a place that lies off every screen the program
// now has falls back to the default. A window joins with one call to Manage.
#include "host/prefs/PreferenceStore.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QWidget;

class WindowPlaces : public QObject {
    Q_OBJECT
public:
    // The default place of a window of the given size (its frame's top-left, in screen pixels).
    using DefaultPlace = std::function<QPoint(QSize frameSize)>;

    static constexpr const char* kStoreName = "quorvel";

    explicit WindowPlaces(PreferenceStore& store, QObject* parent = nullptr);

    // Placed when it is first shown, remembered as it moves and resizes, written when it hides.
    // A window that is not a window of its own when shown (a docked dock) is left where it is.
    void Manage(QWidget* window, const QString& name, DefaultPlace place);
    // The main window, before it is first shown: where it was left, else `size` (at most the
    // screen's room) in the middle of the screen.
    void PlaceMain(QWidget* window, const QString& name, QSize size);
    // Writes every window's place to the store; false with `error` when the store refused.
    bool Save(std::string& error);

    // The place remembered for a window, if any (its inner geometry, in screen pixels).
    std::optional<QRect> Remembered(const QString& name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Managed {
        QPointer<QWidget> window;
        DefaultPlace place;
        bool placed = false;
    };
    void Load();
    void Place(Managed& managed, const QString& name);
    void Note(const QString& name, QWidget* window);

    PreferenceStore& store_;
    std::map<QString, QRect> places_;
    std::map<QString, bool> maximized_;
    std::map<QString, Managed> windows_;
};

// A rectangle moved (and shrunk if need be) to lie wholly inside `room`.
QRect KeptInside(QRect rect, const QRect& room);
