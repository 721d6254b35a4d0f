#include "objects/picture_loader.h"

#include "objects/image_control.h"

namespace zx {

void loadPictureFile(ImageControl& image, const std::string& path)
{
    QImage picture;
    switch (readPictureFile(path, picture)) {
    case PictureReadResult::Loaded:
        image.setPicture(picture);
        break;
    case PictureReadResult::Undecodable:
        image.clearPicture();
        break;
    case PictureReadResult::NotLoaded:
        break;
    }
}

} // namespace zx
