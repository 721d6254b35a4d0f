// The built-in pictures of the About window, drawn at run time.
#pragma once

#include <QImage>

namespace zx {

QImage drawSplashPicture();  // 300 x 400
QImage drawCreditsPicture(); // 321 x 393

} // namespace zx
