#include "objects/drag_button.h"

#include <QMouseEvent>
#include <QPointer>

namespace zx {

DragButton::DragButton(QWidget* parent)
    : QPushButton(parent)
{
    setMouseTracking(true);
}

void DragButton::clearHandlers()
{
    onMouseMove = nullptr;
    onMouseDown = nullptr;
    onMouseUp = nullptr;
}

void DragButton::mouseMoveEvent(QMouseEvent* event)
{
    QPointer<DragButton> self(this);
    if (onMouseMove) {
        const auto handler = onMouseMove;
        handler(*event);
    }
    if (self)
        QPushButton::mouseMoveEvent(event);
}

void DragButton::mousePressEvent(QMouseEvent* event)
{
    QPointer<DragButton> self(this);
    if (self)
        QPushButton::mousePressEvent(event);
    if (self && onMouseDown) {
        const auto handler = onMouseDown;
        handler(*event);
    }
}

void DragButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The handler may release the button (its glide can end the page), so
    // the button's own handling comes first.
    QPointer<DragButton> self(this);
    QPushButton::mouseReleaseEvent(event);
    if (self && onMouseUp) {
        const auto handler = onMouseUp;
        handler(*event);
    }
}

} // namespace zx
