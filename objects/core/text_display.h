// What a text object shows of its zxString value: the <zxLine> and
// </zxLine> marks that wrap its lines are dropped (also marks that only
// appear once others are gone) and line breaks become single LF.
#pragma once

#include <string>

namespace zx {

std::string textObjectDisplayText(std::string value);

} // namespace zx
