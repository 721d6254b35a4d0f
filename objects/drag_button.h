// The push button of a draggable item that has no picture: a plain button
// showing the item's caption, with handlers for the pointer like an image
// control's, and for the keyboard.  Positions are reported in the
// button's own coordinates.
#pragma once

#include "objects/answer_keys.h"
#include "objects/page_accessibility.h"

#include <QPushButton>

#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace zx {

class DragButton : public QPushButton, public Describable {
public:
    explicit DragButton(QWidget* parent);

    std::function<void(QMouseEvent&)> onMouseMove;
    std::function<void(QMouseEvent&)> onMouseDown;
    std::function<void(QMouseEvent&)> onMouseUp;
    // A key the handler takes (it returns true) goes no further, Tab and
    // Space included.
    KeyHandler onKeyDown;
    KeyHandler onKeyUp;
    std::function<void()> onFocusOut;

    // Drops every handler (the button is being released).
    void clearHandlers();

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zx
