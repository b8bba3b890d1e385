#include "ui/WindowFrame.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <vector>

#include "core/WindowPlacement.h"

namespace kelvarox {

void MakeFixedWindow(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (window->layout())
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    else
        window->setFixedSize(window->size());
}

WindowPosition PositionOf(const QWidget* window) { return {window->pos().y(), window->pos().x()}; }

WindowState StateOf(const QWidget* window) {
    const bool normal = !(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    return normal ? WindowState::Normal : WindowState::MinimizedOrMaximized;
}

void MoveTo(QWidget* window, const WindowPosition& position) {
    // The size settles before the window moves: a window whose layout fixes its size only when
    // it is first shown is otherwise placed by its inner corner, not its frame, and climbs by
    // its title bar at every start.
    if (window->layout()) window->layout()->activate();
    std::vector<ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    // Before the window is first shown its frame is not known: a title bar is counted in.
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const QSize frame = window->frameGeometry().size().expandedTo(window->size() + QSize(0, titleBar));
    const FrameCorner corner =
        PlaceOnScreens({position.left, position.top, frame.width(), frame.height()}, titleBar, screens);
    window->move(corner.left, corner.top);
}

}  // namespace kelvarox
