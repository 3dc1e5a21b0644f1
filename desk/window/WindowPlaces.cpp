#include "desk/window/WindowPlaces.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <sstream>

namespace {

constexpr int32_t kVersion = 1;
// Room the main window leaves round it on a screen it would fill.
constexpr int kScreenMargin = 24;

// The available room of the screen that shows most of the window's title strip; none when no
// screen shows enough of it to take hold of it.
std::optional<QRect> RoomFor(const QRect& rect) {
    QRect title(rect.x(), rect.y(), rect.width(), std::min(rect.height(), 30));
    std::optional<QRect> best;
    int bestArea = 40 * 10 - 1;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect shared = title.intersected(screen->availableGeometry());
        int area = shared.width() * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen->availableGeometry();
        }
    }
    return best;
}

QRect PrimaryRoom() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

QRect KeptInside(QRect rect, const QRect& room) {
    rect.setWidth(std::min(rect.width(), room.width()));
    rect.setHeight(std::min(rect.height(), room.height()));
    rect.moveLeft(std::clamp(rect.left(), room.left(), room.right() + 1 - rect.width()));
    rect.moveTop(std::clamp(rect.top(), room.top(), room.bottom() + 1 - rect.height()));
    return rect;
}

WindowPlaces::WindowPlaces(PreferenceStore& store, QObject* parent) : QObject(parent), store_(store) { Load(); }

void WindowPlaces::Load() {
    auto entry = store_.Read(kStoreName);
    if (!entry || entry->version != kVersion) return;
    std::istringstream in(std::string(entry->bytes.begin(), entry->bytes.end()));
    std::string name;
    int x, y, w, h, maximized;
    // A line that does not read is skipped: the window it names takes its default place.
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        if (!(fields >> name >> x >> y >> w >> h >> maximized) || w < 1 || h < 1) continue;
        QString key = QString::fromStdString(name);
        places_[key] = QRect(x, y, w, h);
        maximized_[key] = maximized != 0;
    }
}

bool WindowPlaces::Save(std::string& error) {
    for (auto& [name, managed] : windows_)
        if (managed.window && managed.placed) Note(name, managed.window);
    std::ostringstream out;
    for (const auto& [name, r] : places_)
        out << name.toStdString() << ' ' << r.x() << ' ' << r.y() << ' ' << r.width() << ' ' << r.height() << ' '
            << (maximized_[name] ? 1 : 0) << '\n';
    std::string text = out.str();
    return store_.Write(kStoreName, kVersion, std::vector<uint8_t>(text.begin(), text.end()), error);
}

std::optional<QRect> WindowPlaces::Remembered(const QString& name) const {
    auto it = places_.find(name);
    if (it == places_.end()) return std::nullopt;
    return it->second;
}

void WindowPlaces::Manage(QWidget* window, const QString& name, DefaultPlace place) {
    windows_[name] = Managed{window, std::move(place), false};
    window->installEventFilter(this);
    if (window->isVisible()) Place(windows_[name], name);
}

void WindowPlaces::PlaceMain(QWidget* window, const QString& name, QSize size) {
    auto remembered = Remembered(name);
    auto room = remembered ? RoomFor(*remembered) : std::nullopt;
    if (room) {
        window->setGeometry(KeptInside(*remembered, *room));
        if (maximized_[name]) window->setWindowState(window->windowState() | Qt::WindowMaximized);
    } else {
        QRect primary = PrimaryRoom().adjusted(kScreenMargin, kScreenMargin, -kScreenMargin, -kScreenMargin);
        QRect r(QPoint(0, 0), size.boundedTo(primary.size()));
        r.moveCenter(primary.center());
        window->setGeometry(r);
    }
    windows_[name] = Managed{window, nullptr, true};
    window->installEventFilter(this);
}

void WindowPlaces::Place(Managed& managed, const QString& name) {
    QWidget* window = managed.window;
    if (!window || !window->isWindow()) return;
    managed.placed = true;
    auto remembered = Remembered(name);
    if (auto room = remembered ? RoomFor(*remembered) : std::nullopt) {
        window->setGeometry(KeptInside(*remembered, *room));
        return;
    }
    QPoint at = managed.place ? managed.place(window->frameGeometry().size()) : window->pos();
    QRect frame(at, window->frameGeometry().size());
    auto room = RoomFor(frame);
    window->move(KeptInside(frame, room ? *room : PrimaryRoom()).topLeft());
}

void WindowPlaces::Note(const QString& name, QWidget* window) {
    if (!window->isWindow() || !window->isVisible()) return;
    bool maximized = window->windowState() & Qt::WindowMaximized;
    maximized_[name] = maximized;
    places_[name] = maximized ? window->normalGeometry() : window->geometry();
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    for (auto& [name, managed] : windows_) {
        if (managed.window != watched) continue;
        switch (event->type()) {
        case QEvent::Show:
            if (!managed.placed) Place(managed, name);
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (managed.placed) Note(name, managed.window);
            break;
        case QEvent::Hide: {
            std::string error;
            Save(error); // a store that cannot be written keeps the places for this run only
            break;
        }
        default: break;
        }
        break;
    }
    return QObject::eventFilter(watched, event);
}
