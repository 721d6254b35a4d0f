// The reading of one QTI item, shared by the single-file and the package
// readers.
#pragma once

#include "tools/bankimport/question_model.h"

#include <libxml/tree.h>

#include <functional>
#include <string>

namespace zx::import {

bool isQtiItemRoot(const xmlNode* root);
// Reads the item below `root` into `document`; `pictures` turns a picture's
// source into the name it is stored under (empty: not available).
void readQtiItem(const xmlNode* root, SourceDocument& document,
                 const std::function<std::string(const std::string&)>& pictures);

} // namespace zx::import
