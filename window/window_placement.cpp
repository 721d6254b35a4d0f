#include "window/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zx {

void centreOn(QWidget* window, const QWidget* over)
{
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

} // namespace zx
