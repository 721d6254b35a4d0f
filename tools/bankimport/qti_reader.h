// IMS QTI: 2.1/2.2 assessment items (and tests naming them), content
// packages (.zip with imsmanifest.xml) and QTI 3.0 qti-assessment-item.
#pragma once

#include "tools/bankimport/question_model.h"

#include <string_view>

namespace zx::import {

// One XML file: an item, or a test/manifest whose items cannot be reached
// without the package (reported as such).
SourceDocument readQtiXml(std::string_view bytes);
// A content package: the items its manifest lists, with their pictures.
SourceDocument readQtiPackage(std::string_view bytes);

} // namespace zx::import
