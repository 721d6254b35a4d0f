// QTI content packages: a zip with imsmanifest.xml naming its items, read
// in memory with limits against hostile archives (paths outside the
// package, too many or too large files, zip bombs).
#include "tools/bankimport/qti_item.h"
#include "tools/bankimport/qti_reader.h"
#include "tools/bankimport/source_text.h"
#include "tools/bankimport/xml_source.h"

#include <zip.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace zx::import {

namespace {

std::string joinPath(const std::string& base, const std::string& relative)
{
    if (relative.empty() || relative[0] == '/')
        return relative;
    std::vector<std::string> parts;
    std::string dir = base;
    const std::size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? "" : dir.substr(0, slash);
    std::string all = dir.empty() ? relative : dir + "/" + relative;
    std::istringstream in(all);
    std::string part;
    while (std::getline(in, part, '/')) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (parts.empty())
                return "";
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

// A zip package in memory, read with limits against hostile archives.
class Package {
public:
    static constexpr zip_int64_t mostEntries = 20000;
    static constexpr zip_uint64_t largestEntry = 64ull << 20;
    static constexpr zip_uint64_t largestTotal = 512ull << 20;
    static constexpr zip_uint64_t highestRatio = 200;

    explicit Package(std::string_view bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        if (!m_zip)
            m_error = std::string("unreadable zip package: ") + zip_error_strerror(&error);
        zip_error_fini(&error);
        if (m_zip && zip_get_num_entries(m_zip, 0) > mostEntries) {
            m_error = "the zip package holds too many files";
            zip_close(m_zip);
            m_zip = nullptr;
        }
        if (m_zip) {
            const zip_int64_t n = zip_get_num_entries(m_zip, 0);
            for (zip_int64_t i = 0; i < n; ++i) {
                const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0);
                if (!name)
                    continue;
                const std::string entry(name);
                if (entry.find("..") != std::string::npos && joinPath("", entry).empty()) {
                    m_error = "the zip package names a file outside itself: " + entry;
                    zip_close(m_zip);
                    m_zip = nullptr;
                    return;
                }
            }
        }
    }
    ~Package()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    const std::string& error() const { return m_error; }
    bool ok() const { return m_zip != nullptr; }

    // A file's bytes; false with error() set for a hostile or broken entry.
    bool read(const std::string& name, std::string& bytes)
    {
        if (!m_zip)
            return false;
        zip_stat_t stat;
        if (zip_stat(m_zip, name.c_str(), 0, &stat) != 0)
            return false;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > largestEntry) {
            m_error = name + ": too large";
            return false;
        }
        if ((stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE) && stat.size > (1u << 20)
            && stat.size / std::max<zip_uint64_t>(1, stat.comp_size) > highestRatio) {
            m_error = name + ": compressed more than " + std::to_string(highestRatio) + " to 1 (a zip bomb?)";
            return false;
        }
        zip_file_t* file = zip_fopen(m_zip, name.c_str(), 0);
        if (!file)
            return false;
        bytes.clear();
        char buffer[65536];
        zip_int64_t got = 0;
        while ((got = zip_fread(file, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
            if (bytes.size() > largestEntry || (m_total += static_cast<zip_uint64_t>(got)) > largestTotal) {
                m_error = name + ": unpacks to more than its stated size";
                zip_fclose(file);
                return false;
            }
        }
        zip_fclose(file);
        if (got < 0) {
            m_error = name + ": damaged in the zip package";
            return false;
        }
        return true;
    }

private:
    zip_t* m_zip = nullptr;
    std::string m_error;
    zip_uint64_t m_total = 0;
};

} // namespace

SourceDocument readQtiPackage(std::string_view bytes)
{
    SourceDocument document;
    Package package(bytes);
    if (!package.ok()) {
        document.error = package.error();
        return document;
    }
    std::string manifestBytes;
    if (!package.read("imsmanifest.xml", manifestBytes)) {
        document.error = package.error().empty() ? "no imsmanifest.xml in the package" : package.error();
        return document;
    }
    std::string error;
    const XmlDoc manifest = parseXml(manifestBytes, error);
    if (!manifest) {
        document.error = "imsmanifest.xml: " + error;
        return document;
    }
    std::vector<std::string> items;
    std::function<void(const xmlNode*, int)> findResources = [&](const xmlNode* node, int depth) {
        for (const xmlNode* c = node ? node->children : nullptr; c && depth < 20; c = c->next) {
            if (c->type != XML_ELEMENT_NODE)
                continue;
            if (localName(c) == "resource" && attribute(c, "type").find("imsqti_item") != std::string::npos)
                items.push_back(joinPath("", urlDecode(attribute(c, "href"))));
            findResources(c, depth + 1);
        }
    };
    findResources(xmlDocGetRootElement(manifest.get()), 0);
    if (items.empty()) {
        document.error = "the manifest lists no QTI item";
        return document;
    }
    for (const std::string& href : items) {
        if (href.empty())
            continue;
        std::string itemBytes;
        if (!package.read(href, itemBytes)) {
            if (!package.error().empty()) {
                document.error = package.error();
                document.questions.clear();
                return document;
            }
            continue;
        }
        const XmlDoc item = parseXml(itemBytes, error);
        const xmlNode* root = item ? xmlDocGetRootElement(item.get()) : nullptr;
        if (!isQtiItemRoot(root)) {
            Question q;
            q.name = href;
            q.kindName = "item";
            q.skipReason = item ? "not a QTI item" : error;
            document.questions.push_back(std::move(q));
            continue;
        }
        const std::size_t before = document.questions.size();
        auto pictures = [&](const std::string& src) -> std::string {
            const std::string path = joinPath(href, urlDecode(src));
            if (path.empty())
                return "";
            if (findPicture(document, path))
                return path;
            std::string data;
            if (!package.read(path, data) || data.empty())
                return "";
            document.pictures.push_back({path, std::move(data)});
            return path;
        };
        readQtiItem(root, document, pictures);
        if (!package.error().empty() && document.questions.size() > before) {
            document.error = package.error();
            document.questions.clear();
            return document;
        }
    }
    if (document.questions.empty())
        document.error = "no readable QTI item in the package";
    return document;
}

} // namespace zx::import
