// Placing the small windows over the main window or the screen.
#pragma once

class QWidget;

namespace zx {

// Centres window on `over` (its frame), or on its screen without one.
void centreOn(QWidget* window, const QWidget* over);

} // namespace zx
