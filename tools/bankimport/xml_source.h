// XML sources read with libxml2, safely: no network, no external entities
// or DTDs, no entity declarations at all (they are refused, so that no
// entity can expand), bounded size and depth (the parser's own limit of 256
// levels, without the "huge" option).
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zx::import {

struct XmlDocFree {
    void operator()(xmlDoc* doc) const;
};
using XmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

// Nothing, with a one-line `error`, when the bytes are no well-formed XML.
XmlDoc parseXml(std::string_view bytes, std::string& error);

// A whole document with its root element; no document, with a one-line
// `error`, when the bytes are no well-formed XML.
struct XmlRoot {
    XmlDoc doc;
    const xmlNode* root = nullptr;
    std::string error;
};
XmlRoot parseXmlRoot(std::string_view bytes);

// The local name of an element (without its namespace prefix).
std::string_view localName(const xmlNode* node);
bool isElement(const xmlNode* node, std::string_view name);
// Child elements with that local name ("" for all).
std::vector<const xmlNode*> children(const xmlNode* node, std::string_view name = {});
const xmlNode* child(const xmlNode* node, std::string_view name);
// All text below the node, as it is (CDATA included).
std::string textOf(const xmlNode* node);
// An attribute's value, "" when missing.
std::string attribute(const xmlNode* node, const char* name);
// The node's content serialised as XML (the inner markup), for HTML bodies.
std::string innerXml(const xmlNode* node);

} // namespace zx::import
