// Loading picture files into image controls.  ".bmp" and ".gif" files are
// read by Qt's image readers, ".jpg" and ".jpeg" by libjpeg; the extension
// decides, whatever its case.  Every file passes the media header check
// first.
#pragma once

#include <QImage>

#include <string>

namespace zx {

class ImageControl;

enum class PictureReadResult {
    Loaded,      // the image holds the picture
    NotLoaded,   // no such file, a rejected header, or an extension we do not load
    Undecodable, // the file passed the checks but its data is no picture
};

// True when a regular file (or a link to one) exists at path.  Paths are
// byte strings handed to the system unchanged.
bool pictureFileExists(const std::string& path);

// Reads the whole file and decodes it by its extension.  Also refuses
// pictures whose decoded size would exceed 256 MB.
PictureReadResult readPictureFile(const std::string& path, QImage& image);

// Decodes JPEG data held in memory; false (and a null image) when the data
// is no JPEG picture.  Never longer than the data, never throws.
bool decodeJpeg(const unsigned char* data, std::size_t size, QImage& image);

// Loads the file into the control's picture.  A missing file, a rejected
// header or another extension leave the control as it was; data that
// cannot be decoded leave it empty.  The control's size, position and
// visibility are not touched.
void loadPictureFile(ImageControl& image, const std::string& path);

} // namespace zx
