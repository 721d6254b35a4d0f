// The push button of a draggable item that has no picture: a plain button
// showing the item's caption, with handlers for the pointer like an image
// control's.  Positions are reported in the button's own coordinates.
#pragma once

#include <QPushButton>

#include <functional>

class QMouseEvent;

namespace zx {

class DragButton : public QPushButton {
public:
    explicit DragButton(QWidget* parent);

    std::function<void(QMouseEvent&)> onMouseMove;
    std::function<void(QMouseEvent&)> onMouseDown;
    std::function<void(QMouseEvent&)> onMouseUp;

    // Drops every handler (the button is being released).
    void clearHandlers();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zx
