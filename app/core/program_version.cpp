#include "app/core/program_version.h"

#ifndef ZX_VERSION
#error "ZX_VERSION comes from project(VERSION) in CMakeLists.txt"
#endif

namespace zx {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string_view programVersion() { return ZX_VERSION; }

std::string withProgramVersion(std::string_view text, std::string_view version)
{
    // Searched from the end: the last digits-dot-digits run is the number.
    std::size_t end = text.size();
    while (end > 0) {
        if (!isDigit(text[end - 1])) {
            --end;
            continue;
        }
        std::size_t begin = end;
        bool dotted = false;
        while (begin > 0 && (isDigit(text[begin - 1]) || (text[begin - 1] == '.' && begin >= 2 && isDigit(text[begin - 2])))) {
            dotted = dotted || text[begin - 1] == '.';
            --begin;
        }
        if (dotted)
            return std::string(text.substr(0, begin)).append(version).append(text.substr(end));
        end = begin;
    }
    if (text.empty())
        return std::string(version);
    return std::string(text).append(" ").append(version);
}

std::string versionBanner(std::string_view program)
{
    return std::string(program).append(" ").append(programVersion()).append("\n");
}

} // namespace zx
