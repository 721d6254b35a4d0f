// The version of the player and its tools, set once in the build
// (project(VERSION) in CMakeLists.txt) and shown by every program's
// --version, the About window, the package and its metadata.
#pragma once

#include <string>
#include <string_view>

namespace zx {

// "0.1", "1.2.3": the build's version number.
std::string_view programVersion();

// The About window's version line: the language file's text with its
// version number (the last run of digits joined by dots, "1.0") replaced
// by `version`; a text without one gets the version after a space, an
// empty text the version alone.
std::string withProgramVersion(std::string_view text, std::string_view version);

// "NAME VERSION\n", what `NAME --version` prints.
std::string versionBanner(std::string_view program);

} // namespace zx
