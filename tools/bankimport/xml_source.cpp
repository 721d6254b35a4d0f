#include "tools/bankimport/xml_source.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>

namespace zx::import {

namespace {

void ignoreErrors(void*, const char*, ...) {}

} // namespace

void XmlDocFree::operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }

XmlDoc parseXml(std::string_view bytes, std::string& error)
{
    if (bytes.size() > INT_MAX) {
        error = "too large";
        return nullptr;
    }
    // Entity declarations are what every entity-expansion attack needs; no
    // question format uses them.
    if (bytes.find("<!ENTITY") != std::string_view::npos) {
        error = "XML with entity declarations is not accepted";
        return nullptr;
    }
    xmlSetGenericErrorFunc(nullptr, ignoreErrors);
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) {
        error = "out of memory";
        return nullptr;
    }
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    xmlDoc* doc = xmlCtxtReadMemory(context, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options);
    if (!doc || !context->wellFormed) {
        const xmlError* last = xmlCtxtGetLastError(context);
        error = "not well-formed XML";
        if (last && last->message) {
            std::string message = last->message;
            while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
                message.pop_back();
            error += " (line " + std::to_string(last->line) + ": " + message + ")";
        }
        if (doc)
            xmlFreeDoc(doc);
        xmlFreeParserCtxt(context);
        return nullptr;
    }
    xmlFreeParserCtxt(context);
    return XmlDoc(doc);
}

XmlRoot parseXmlRoot(std::string_view bytes)
{
    XmlRoot xml;
    xml.doc = parseXml(bytes, xml.error);
    if (xml.doc)
        xml.root = xmlDocGetRootElement(xml.doc.get());
    return xml;
}

std::string_view localName(const xmlNode* node)
{
    if (!node || !node->name)
        return {};
    std::string_view name(reinterpret_cast<const char*>(node->name));
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isElement(const xmlNode* node, std::string_view name)
{
    return node && node->type == XML_ELEMENT_NODE && localName(node) == name;
}

std::vector<const xmlNode*> children(const xmlNode* node, std::string_view name)
{
    std::vector<const xmlNode*> out;
    if (!node)
        return out;
    for (const xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && (name.empty() || localName(c) == name))
            out.push_back(c);
    return out;
}

const xmlNode* child(const xmlNode* node, std::string_view name)
{
    if (!node)
        return nullptr;
    for (const xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && localName(c) == name)
            return c;
    return nullptr;
}

std::string textOf(const xmlNode* node)
{
    if (!node)
        return {};
    xmlChar* content = xmlNodeGetContent(node);
    std::string out = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return out;
}

std::string attribute(const xmlNode* node, const char* name)
{
    if (!node)
        return {};
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string out = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return out;
}

std::string innerXml(const xmlNode* node)
{
    std::string out;
    if (!node)
        return out;
    xmlBufferPtr buffer = xmlBufferCreate();
    for (xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            // Text is kept escaped so that the HTML reader reads it as text.
            xmlChar* escaped = xmlEncodeSpecialChars(node->doc, c->content);
            if (escaped)
                out += reinterpret_cast<const char*>(escaped);
            xmlFree(escaped);
            continue;
        }
        xmlBufferEmpty(buffer);
        xmlNodeDump(buffer, node->doc, c, 0, 0);
        out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer)), static_cast<std::size_t>(xmlBufferLength(buffer)));
    }
    xmlBufferFree(buffer);
    return out;
}

} // namespace zx::import
