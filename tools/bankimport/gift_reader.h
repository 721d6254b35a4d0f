// GIFT, the plain-text question format: "::name:: text {answers}" blocks
// separated by blank lines, "$CATEGORY: path" lines, "//" comments and the
// escapes \~ \= \# \{ \} \: \\ \n.
#pragma once

#include "tools/bankimport/question_model.h"

#include <string_view>

namespace zx::import {

SourceDocument readGift(std::string_view bytes);
// True when the text looks like GIFT rather than XML.
bool looksLikeGift(std::string_view bytes);

} // namespace zx::import
