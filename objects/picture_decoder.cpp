#include "objects/picture_decoder.h"

#include "tagtext/stored_file.h"

#include <QByteArray>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

namespace zx {

namespace {

bool readWholeFile(const std::string& path, QByteArray& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    // A file larger than any picture shown is not read into memory.
    if (size < 0 || static_cast<std::uint64_t>(size) > maxPictureBytes)
        return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<qsizetype>(size));
    if (size > 0)
        in.read(bytes.data(), size);
    return in.good() || in.eof();
}

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

// Warnings (a truncated file, for example) do not stop the decoding: what
// was decoded is shown, as other programs show it.  Nothing is printed.
void jpegOutputMessage(j_common_ptr) {}

// Runs the decoder.  Only plain C data lives in this frame between setjmp
// and the calls that may jump back; the image is the caller's.
bool runJpegDecoder(const unsigned char* data, unsigned long size, QImage& image)
{
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpegErrorExit;
    errors.base.output_message = jpegOutputMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    #if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA; // 0xAARRGGBB words
#else
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_ARGB;
#endif
    jpeg_calc_output_dimensions(&info);
    const std::uint64_t bytes = std::uint64_t(info.output_width) * info.output_height * 4u;
    if (info.output_width == 0 || info.output_height == 0 || bytes > maxPictureBytes
        || info.output_width > 65535 || info.output_height > 65535) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Adobe writes CMYK inverted; that is what nearly every CMYK JPEG holds.
    const bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        auto* line = image.scanLine(static_cast<int>(info.output_scanline));
        JSAMPROW row = line;
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) {
            // In place, from left to right: each CMYK pixel becomes the
            // 0xffRRGGBB pixel that takes the same four bytes.
            auto* pixel = reinterpret_cast<QRgb*>(line);
            for (JDIMENSION x = 0; x < info.output_width; ++x) {
                const unsigned char* p = line + 4 * x;
                int c = p[0], m = p[1], y = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                pixel[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool pictureFileExists(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

bool decodeJpeg(const unsigned char* data, std::size_t size, QImage& image)
{
    image = QImage();
    if (data == nullptr || size == 0 || size > 0xFFFFFFFFu)
        return false;
    if (!runJpegDecoder(data, static_cast<unsigned long>(size), image)) {
        image = QImage();
        return false;
    }
    return true;
}

PictureReadResult readPictureFile(const std::string& path, QImage& image)
{
    image = QImage();
    if (!pictureFileExists(path) || !mediaHeaderMatches(path))
        return PictureReadResult::NotLoaded;
    const std::string extension = lowerExtension(path);
    const bool jpeg = extension == ".jpg" || extension == ".jpeg";
    const char* qtFormat = extension == ".bmp" ? "BMP" : extension == ".gif" ? "GIF" : nullptr;
    if (!jpeg && qtFormat == nullptr)
        return PictureReadResult::NotLoaded;

    QByteArray bytes;
    if (!readWholeFile(path, bytes))
        return PictureReadResult::Undecodable;
    bool decoded = false;
    if (jpeg) {
        decoded = decodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size()), image);
    } else {
        // The reader's own allocation limit (256 MB) guards against
        // pictures that claim enormous sizes.
        decoded = image.loadFromData(bytes, qtFormat) && !image.isNull();
    }
    if (!decoded) {
        image = QImage();
        return PictureReadResult::Undecodable;
    }
    return PictureReadResult::Loaded;
}

} // namespace zx
