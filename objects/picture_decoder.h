// Reading picture files into images, without any widget: ".bmp" and ".gif"
// files are read by Qt's image readers, ".jpg" and ".jpeg" by libjpeg; the
// extension decides, whatever its case.  Every file passes the media header
// check first.  The readers of outside bytes here are fuzzed on their own.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zx {

// The most memory one decoded picture may take (32-bit pixels).  A file
// larger than this is no picture the player shows, and is not read.
inline constexpr std::uint64_t maxPictureBytes = 256ull * 1024 * 1024;

enum class PictureReadResult {
    Loaded,      // the image holds the picture
    NotLoaded,   // no such file, a rejected header, or an extension we do not load
    Undecodable, // the file passed the checks but its data is no picture (or is too large)
};

// True when a regular file (or a link to one) exists at path.  Paths are
// byte strings handed to the system unchanged.
bool pictureFileExists(const std::string& path);

// Reads the whole file (at most maxPictureBytes) and decodes it by its
// extension.  Also refuses pictures whose decoded size would exceed
// maxPictureBytes.
PictureReadResult readPictureFile(const std::string& path, QImage& image);

// Decodes JPEG data held in memory; false (and a null image) when the data
// is no JPEG picture.  Never longer than the data, never throws.
bool decodeJpeg(const unsigned char* data, std::size_t size, QImage& image);

} // namespace zx
