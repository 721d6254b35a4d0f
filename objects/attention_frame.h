// The attention frame: a red outline that closes in on a rectangle of a
// window and then blinks three times (about 540 ms in all).  It blocks the
// caller; input is not handled meanwhile.
#pragma once

#include <functional>

class QWidget;

namespace zx {

// left, top, height and width give the rectangle in the parent's client
// coordinates.  `wait` is called with each pause in milliseconds; an empty
// one sleeps.
void attentionFrame(int left, int top, QWidget* parent, int height, int width,
                    const std::function<void(int ms)>& wait);

} // namespace zx
