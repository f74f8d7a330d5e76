#include "platform/screenarea.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace tessaria {

QRect ClipToScreen(const QRect& bounds, const QRect& area)
{
    if (area.isEmpty())
        return bounds;
    const int width = std::clamp(bounds.width(), 1, area.width());
    const int height = std::clamp(bounds.height(), 1, area.height());
    const int left = std::clamp(bounds.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(bounds.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

QRect ScreenAreaFor(const QRect& bounds)
{
    QScreen* screen = QGuiApplication::screenAt(bounds.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace tessaria
