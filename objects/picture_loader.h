// Loading picture files into image controls (objects/picture_decoder.h
// reads and decodes them).
#pragma once

#include "objects/picture_decoder.h"

#include <string>

namespace zx {

class ImageControl;

// Loads the file into the control's picture.  A missing file, a rejected
// header or another extension leave the control as it was; data that
// cannot be decoded leave it empty.  The control's size, position and
// visibility are not touched.
void loadPictureFile(ImageControl& image, const std::string& path);

} // namespace zx
