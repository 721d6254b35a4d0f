#include "tests/fuzz/picture_entry.h"

#include "objects/picture_decoder.h"
#include "tests/fuzz/entry_support.h"

namespace zx::fuzz {

namespace {

std::string checked(const QImage& image, bool loaded)
{
    if (loaded == image.isNull())
        return loaded ? "a picture read as loaded is empty" : "a picture not loaded left an image";
    if (loaded && static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height()) * 4u
                      > maxPictureBytes)
        return "a picture larger than the limit was decoded";
    return {};
}

} // namespace

std::string picture(std::string_view input)
{
    QImage image;
    const bool decoded = decodeJpeg(reinterpret_cast<const unsigned char*>(input.data()), input.size(), image);
    if (std::string problem = checked(image, decoded); !problem.empty())
        return problem;

    const std::string& folder = support::privateFolder();
    if (folder.empty())
        return "no private temporary folder";
    for (const char* extension : {".jpg", ".bmp", ".gif"}) {
        const std::string path = folder + "/p" + extension;
        if (!support::writeBytes(path, input))
            return "the picture file could not be written";
        const PictureReadResult result = readPictureFile(path, image);
        if (std::string problem = checked(image, result == PictureReadResult::Loaded); !problem.empty())
            return problem;
    }
    return {};
}

} // namespace zx::fuzz
