#include "tools/bankimport/qti_reader.h"

namespace zx::import {

SourceDocument readQtiXml(std::string_view)
{
    SourceDocument document;
    document.error = "QTI is not read yet";
    return document;
}

SourceDocument readQtiPackage(std::string_view)
{
    SourceDocument document;
    document.error = "QTI is not read yet";
    return document;
}

} // namespace zx::import
