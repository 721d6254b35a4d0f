#include "tests/fuzz/picture_entry.h"

#include "objects/picture_decoder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zx::fuzz {

namespace {

// This process's folder for the picture files, mode 0700, removed at exit.
class PictureFolder {
public:
    PictureFolder()
    {
        const char* tmpdir = std::getenv("TMPDIR");
        std::string pattern = std::string(tmpdir && *tmpdir ? tmpdir : "/tmp") + "/zxfuzz-picture-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~PictureFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

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

    static const PictureFolder folder;
    if (folder.path().empty())
        return "no private temporary folder";
    for (const char* extension : {".jpg", ".bmp", ".gif"}) {
        const std::string path = folder.path() + "/p" + extension;
        std::remove(path.c_str());
        {
            std::ofstream out(path, std::ios::binary);
            out.write(input.data(), static_cast<std::streamsize>(input.size()));
            if (!out)
                return "the picture file could not be written";
        }
        const PictureReadResult result = readPictureFile(path, image);
        if (std::string problem = checked(image, result == PictureReadResult::Loaded); !problem.empty())
            return problem;
    }
    return {};
}

} // namespace zx::fuzz
