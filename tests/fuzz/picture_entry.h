// Entry code of the picture fuzz target, apart from the others because the
// picture readers need Qt's image classes: the fuzz target and the GUI
// tests (which replay tests/fuzz/seeds-qt/picture/) both run it.
#pragma once

#include <string>
#include <string_view>

namespace zx::fuzz {

// The bytes as a ".jpg", ".bmp" and ".gif" file read by readPictureFile,
// and as JPEG data decoded in memory; an empty text, or the rule broken.
std::string picture(std::string_view input);

} // namespace zx::fuzz
