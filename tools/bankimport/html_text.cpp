#include "tools/bankimport/html_text.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>

namespace zx::import {

namespace {

constexpr int deepestElement = 200;

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool named(const xmlNode* node, const char* name)
{
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool isBlock(const xmlNode* node)
{
    static const char* const blocks[] = {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "li", "ul", "ol",
                                         "table", "tr", "pre", "blockquote", "section", "article", "header",
                                         "footer", "dl", "dt", "dd", "figure", "figcaption", "hr", "body"};
    for (const char* name : blocks)
        if (named(node, name))
            return true;
    return false;
}

// Collects paragraphs while walking the tree.
class Collector {
public:
    explicit Collector(const PictureResolver& pictures) : m_pictures(pictures) {}

    void walk(const xmlNode* node, int depth, bool bold, bool italic, int heading, bool pre)
    {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                text(reinterpret_cast<const char*>(node->content), bold, italic, heading, pre);
                continue;
            }
            if (node->type != XML_ELEMENT_NODE || depth > deepestElement)
                continue;
            if (named(node, "script") || named(node, "style") || named(node, "head"))
                continue;
            if (named(node, "br")) {
                if (!m_current.text.empty())
                    m_current.text += '\n';
                continue;
            }
            if (named(node, "img") || named(node, "object")) {
                picture(node);
                continue;
            }
            const bool block = isBlock(node);
            if (block)
                finish();
            int level = heading;
            if (named(node, "h1"))
                level = 1;
            else if (named(node, "h2"))
                level = 2;
            else if (named(node, "h3") || named(node, "h4") || named(node, "h5") || named(node, "h6"))
                level = 3;
            const bool b = bold || named(node, "b") || named(node, "strong") || level > 0 || named(node, "th");
            const bool i = italic || named(node, "i") || named(node, "em") || named(node, "cite");
            if (named(node, "td") || named(node, "th"))
                space();
            walk(node->children, depth + 1, b, i, level, pre || named(node, "pre"));
            if (block)
                finish();
        }
    }

    RichText result()
    {
        finish();
        return std::move(m_out);
    }

private:
    void space()
    {
        if (!m_current.text.empty() && !isSpace(static_cast<unsigned char>(m_current.text.back())))
            m_current.text += ' ';
    }

    void text(const char* raw, bool bold, bool italic, int heading, bool pre)
    {
        if (!raw)
            return;
        for (const char* p = raw; *p; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (isSpace(c) && !(pre && c == '\n')) {
                if (c == '\r')
                    continue;
                space();
                continue;
            }
            if (c == '\n') {
                m_current.text += '\n';
                continue;
            }
            m_current.text += static_cast<char>(c);
            ++m_chars;
            m_boldChars += bold;
            m_italicChars += italic;
            if (heading > 0 && (m_heading == 0 || heading < m_heading))
                m_heading = heading;
        }
    }

    void picture(const xmlNode* node)
    {
        xmlChar* src = xmlGetProp(node, reinterpret_cast<const xmlChar*>(named(node, "img") ? "src" : "data"));
        std::string value = src ? reinterpret_cast<const char*>(src) : "";
        xmlFree(src);
        const std::string key = m_pictures ? m_pictures(value) : std::string();
        if (key.empty()) {
            xmlChar* alt = xmlGetProp(node, reinterpret_cast<const xmlChar*>("alt"));
            if (alt && *alt) {
                space();
                text(reinterpret_cast<const char*>(alt), false, false, 0, false);
            }
            xmlFree(alt);
            return;
        }
        finish();
        TextBlock block;
        block.kind = TextBlock::Kind::Picture;
        block.picture = key;
        m_out.blocks.push_back(std::move(block));
    }

    void finish()
    {
        // Trim spaces and line breaks at both ends.
        std::string& t = m_current.text;
        std::size_t b = 0;
        while (b < t.size() && isSpace(static_cast<unsigned char>(t[b])))
            ++b;
        std::size_t e = t.size();
        while (e > b && isSpace(static_cast<unsigned char>(t[e - 1])))
            --e;
        t = t.substr(b, e - b);
        if (!t.empty()) {
            m_current.bold = m_chars > 0 && m_boldChars == m_chars;
            m_current.italic = m_chars > 0 && m_italicChars == m_chars;
            m_current.heading = m_heading;
            m_out.blocks.push_back(std::move(m_current));
        }
        m_current = TextBlock();
        m_chars = m_boldChars = m_italicChars = 0;
        m_heading = 0;
    }

    const PictureResolver& m_pictures;
    RichText m_out;
    TextBlock m_current;
    std::size_t m_chars = 0, m_boldChars = 0, m_italicChars = 0;
    int m_heading = 0;
};

} // namespace

std::string foldSpaces(std::string_view text)
{
    std::string out;
    bool pendingSpace = false;
    for (const char ch : text) {
        if (isSpace(static_cast<unsigned char>(ch))) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace)
            out += ' ';
        pendingSpace = false;
        out += ch;
    }
    return out;
}

std::string nameFromText(const std::string& plain)
{
    constexpr std::size_t longest = 60;
    if (plain.size() <= longest)
        return plain;
    std::size_t cut = plain.rfind(' ', longest);
    if (cut == std::string::npos || cut < longest / 2) {
        cut = longest;
        while (cut > 0 && (static_cast<unsigned char>(plain[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return plain.substr(0, cut) + "...";
}

RichText htmlToRichText(std::string_view html, const PictureResolver& pictures)
{
    if (html.find('<') == std::string_view::npos && html.find('&') == std::string_view::npos)
        return plainToRichText(html);
    // The fragment goes inside a body so that the parser keeps it whole.
    std::string wrapped = "<html><head><meta charset=\"utf-8\"></head><body>";
    wrapped.append(html);
    wrapped += "</body></html>";
    const int options = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_NOBLANKS;
    htmlDocPtr doc = htmlReadMemory(wrapped.data(), static_cast<int>(wrapped.size()), nullptr, "UTF-8", options);
    if (!doc)
        return plainToRichText(html);
    Collector collector(pictures);
    collector.walk(xmlDocGetRootElement(doc), 0, false, false, 0, false);
    xmlFreeDoc(doc);
    return collector.result();
}

RichText plainToRichText(std::string_view text)
{
    RichText out;
    std::string paragraph;
    auto flush = [&] {
        // Keep single line breaks, drop those at the ends.
        while (!paragraph.empty() && (paragraph.back() == '\n' || paragraph.back() == ' '))
            paragraph.pop_back();
        std::size_t b = 0;
        while (b < paragraph.size() && (paragraph[b] == '\n' || paragraph[b] == ' '))
            ++b;
        if (b < paragraph.size()) {
            TextBlock block;
            block.text = paragraph.substr(b);
            out.blocks.push_back(std::move(block));
        }
        paragraph.clear();
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line = foldSpaces(text.substr(start, end - start));
        if (line.empty())
            flush();
        else {
            if (!paragraph.empty())
                paragraph += '\n';
            paragraph += line;
        }
        start = end + 1;
    }
    flush();
    return out;
}

std::string htmlToPlain(std::string_view html)
{
    return htmlToRichText(html).plain();
}

bool RichText::empty() const { return blocks.empty(); }

std::string RichText::plain() const
{
    std::string out;
    for (const TextBlock& block : blocks) {
        if (block.kind != TextBlock::Kind::Paragraph)
            continue;
        if (!out.empty())
            out += ' ';
        out += block.text;
    }
    return foldSpaces(out);
}

RichText RichText::fromPlain(const std::string& text) { return plainToRichText(text); }

const Picture* findPicture(const SourceDocument& document, const std::string& key)
{
    for (const Picture& picture : document.pictures)
        if (picture.key == key)
            return &picture;
    return nullptr;
}

} // namespace zx::import
