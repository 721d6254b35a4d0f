#include "tools/bankpack/bank_packer.h"

#include "testrun/core/bank_settings.h"

#include "tagtext/numbered_tags.h"
#include "tagtext/replacing_file.h"
#include "tagtext/tagged_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace zx {

namespace fs = std::filesystem;

namespace {

constexpr int bankColumn = 3;
constexpr std::size_t copyChunk = std::size_t{1} << 20;
constexpr std::string_view pageKey = "questionFile";

constexpr std::array<std::string_view, 4> indexKeys = {"fileHeader", "testList", "questionFileList",
                                                       "preTestFileList"};

std::string pathText(const fs::path& path) { return path.string(); }

bool readWholeFile(const fs::path& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad())
        return false;
    bytes = std::move(out).str();
    return true;
}

// The first open or close mark of the index elements inside a text.
std::string indexMarkIn(std::string_view text)
{
    for (std::string_view key : indexKeys) {
        const std::string open = "<" + std::string(key) + ">";
        if (text.find(open) != std::string_view::npos)
            return open;
        const std::string close = "</" + std::string(key) + ">";
        if (text.find(close) != std::string_view::npos)
            return close;
    }
    return {};
}

// The first "<questionFileDIGITS>" or "</questionFileDIGITS>" inside a
// text: such a mark inside a page would cut the page list apart.
std::string pageMarkIn(std::string_view text)
{
    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        std::size_t p = pos + 1;
        if (p < text.size() && text[p] == '/')
            ++p;
        if (text.substr(p, pageKey.size()) == pageKey) {
            std::size_t q = p + pageKey.size();
            const std::size_t digits = q;
            while (q < text.size() && text[q] >= '0' && text[q] <= '9')
                ++q;
            if (q > digits && q < text.size() && text[q] == '>')
                return std::string(text.substr(pos, q + 1 - pos));
        }
        ++pos;
    }
    return {};
}

bool pageNumberFromName(const std::string& name, std::string_view prefix, int& number)
{
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0
        || name.compare(name.size() - 4, 4, ".txt") != 0)
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (digits.empty() || digits.size() > 6)
        return false;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    number = std::stoi(digits);
    return true;
}

bool isPortableFileName(std::string_view name)
{
    if (name.empty() || name.size() > 200 || name == "." || name == ".." || name.back() == '.'
        || name.back() == ' ')
        return false;
    for (unsigned char c : name) {
        if (c < 32 || c >= 127)
            return false;
        if (std::strchr("/\\:*?\"<>|,", c))
            return false;
    }
    return true;
}

std::string fallbackFileName(std::size_t n, std::string_view authorName)
{
    std::string name = "file-" + std::string(4 - std::min<std::size_t>(4, std::to_string(n).size()), '0')
                       + std::to_string(n);
    const std::size_t dot = authorName.find_last_of(".\\/:");
    if (dot != std::string_view::npos && authorName[dot] == '.') {
        const std::string_view ext = authorName.substr(dot);
        const bool plain = ext.size() >= 2 && ext.size() <= 8
                           && std::all_of(ext.begin() + 1, ext.end(), [](char c) {
                                  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
                              });
        if (plain)
            name += ext;
    }
    return name;
}

std::string zeroPadded(std::int64_t value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

} // namespace

std::string mediaNameProblem(std::string_view name)
{
    if (name.empty())
        return "an empty name";
    for (unsigned char c : name) {
        if (c < 32 || c == 127)
            return "a control character in the name";
        if (c == '<' || c == '>')
            return "\"<\" or \">\" in the name (it would break the embedded file list)";
        if (c == ',')
            return "\",\" in the name (it would break the embedded file list)";
        if (c == '\\')
            return "\"\\\" in the name (pages never find such a name)";
    }
    return {};
}

bool readBankSources(const std::string& sourceDir, BankSources& sources, std::string& error)
{
    sources = {};
    const fs::path root(sourceDir);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = sourceDir + ": no such source folder";
        return false;
    }

    const fs::path settingsPath = root / "settings.txt";
    if (!fs::is_regular_file(settingsPath, ec)) {
        error = pathText(settingsPath) + ": missing (the bank settings)";
        return false;
    }
    if (!readWholeFile(settingsPath, sources.settings)) {
        error = pathText(settingsPath) + ": cannot be read";
        return false;
    }

    const fs::path pagesDir = root / "pages";
    if (!fs::is_directory(pagesDir, ec)) {
        error = pathText(pagesDir) + ": missing (the folder of pre-NN.txt and qNN.txt pages)";
        return false;
    }
    std::map<int, fs::path> preTest;
    std::map<int, fs::path> questions;
    for (fs::directory_iterator it(pagesDir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        int number = 0;
        std::map<int, fs::path>* list = nullptr;
        if (pageNumberFromName(name, "pre-", number))
            list = &preTest;
        else if (pageNumberFromName(name, "q", number))
            list = &questions;
        if (!list || !it->is_regular_file(ec)) {
            error = pathText(path) + ": not a page file (pages are named pre-NN.txt or qNN.txt)";
            return false;
        }
        if (!list->emplace(number, path).second) {
            error = pathText(path) + ": page number " + std::to_string(number) + " given twice (also "
                    + pathText((*list)[number]) + ")";
            return false;
        }
    }
    if (ec) {
        error = pathText(pagesDir) + ": cannot be listed";
        return false;
    }
    auto readPages = [&](const std::map<int, fs::path>& from, std::vector<PageSource>& to) {
        for (const auto& [number, path] : from) {
            PageSource page;
            page.name = pathText(path);
            if (!readWholeFile(path, page.text)) {
                error = page.name + ": cannot be read";
                return false;
            }
            to.push_back(std::move(page));
        }
        return true;
    };
    if (!readPages(preTest, sources.preTestPages) || !readPages(questions, sources.questionPages))
        return false;

    const fs::path mediaDir = root / "media";
    std::map<std::string, fs::path> mediaFiles; // file name -> path, in byte order
    if (fs::exists(mediaDir, ec)) {
        if (!fs::is_directory(mediaDir, ec)) {
            error = pathText(mediaDir) + ": not a folder";
            return false;
        }
        for (fs::directory_iterator it(mediaDir, ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file(ec)) {
                error = pathText(it->path()) + ": only plain files can be embedded (no folders inside media/)";
                return false;
            }
            mediaFiles.emplace(it->path().filename().string(), it->path());
        }
        if (ec) {
            error = pathText(mediaDir) + ": cannot be listed";
            return false;
        }
    }

    const fs::path listPath = root / "files.txt";
    if (fs::exists(listPath, ec)) {
        std::string listText;
        if (!readWholeFile(listPath, listText)) {
            error = pathText(listPath) + ": cannot be read";
            return false;
        }
        std::set<std::string> used;
        std::istringstream lines(listText);
        std::string line;
        int lineNumber = 0;
        while (std::getline(lines, line)) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            const std::size_t tab = line.find('\t');
            MediaSource media;
            media.authorName = line.substr(0, tab);
            const std::string fileName = tab == std::string::npos ? line : line.substr(tab + 1);
            const std::string where = pathText(listPath) + " line " + std::to_string(lineNumber);
            const auto found = mediaFiles.find(fileName);
            if (found == mediaFiles.end()) {
                error = where + ": media/" + fileName + " does not exist";
                return false;
            }
            used.insert(fileName);
            media.path = pathText(found->second);
            sources.media.push_back(std::move(media));
        }
        for (const auto& [name, path] : mediaFiles) {
            if (!used.count(name)) {
                error = pathText(path) + ": not listed in " + pathText(listPath);
                return false;
            }
        }
    } else {
        for (const auto& [name, path] : mediaFiles)
            sources.media.push_back(MediaSource{name, pathText(path), 0});
    }
    for (MediaSource& media : sources.media) {
        const auto size = fs::file_size(media.path, ec);
        if (ec) {
            error = media.path + ": cannot be read";
            return false;
        }
        media.size = static_cast<std::uint64_t>(size);
    }
    return true;
}

bool checkBankSources(const BankSources& sources, const PackOptions& options, std::string& error)
{
    if (sources.settings.find('\0') != std::string::npos) {
        error = "settings.txt: contains a zero byte, which would end the bank index";
        return false;
    }
    if (const std::string mark = indexMarkIn(sources.settings); !mark.empty()) {
        error = "settings.txt: contains the mark " + mark + ", which would break the bank index";
        return false;
    }
    auto checkPages = [&](const std::vector<PageSource>& pages, const char* what) {
        if (pages.size() > static_cast<std::size_t>(maxListPages)) {
            error = std::to_string(pages.size()) + " " + what + " pages: a bank holds at most "
                    + std::to_string(maxListPages);
            return false;
        }
        for (const PageSource& page : pages) {
            if (page.text.size() <= pageRecordEndLength) {
                error = page.name + ": a page of " + std::to_string(page.text.size())
                        + " characters (10 or fewer end the page list)";
                return false;
            }
            if (page.text.find('\0') != std::string::npos) {
                error = page.name + ": contains a zero byte, which would end the bank index";
                return false;
            }
            std::string mark = indexMarkIn(page.text);
            if (mark.empty())
                mark = pageMarkIn(page.text);
            if (!mark.empty()) {
                error = page.name + ": contains the mark " + mark + ", which would break the page list";
                return false;
            }
        }
        return true;
    };
    if (!checkPages(sources.preTestPages, "pre-test") || !checkPages(sources.questionPages, "question"))
        return false;

    if (sources.media.size() > static_cast<std::size_t>(maxEmbeddedFiles)) {
        error = std::to_string(sources.media.size()) + " media files: a bank holds at most "
                + std::to_string(maxEmbeddedFiles);
        return false;
    }
    std::set<std::string> names;
    for (const MediaSource& media : sources.media) {
        if (const std::string problem = mediaNameProblem(media.authorName); !problem.empty()) {
            error = media.path + ": cannot be embedded as \"" + media.authorName + "\": " + problem;
            return false;
        }
        if (!names.insert(media.authorName).second) {
            error = media.path + ": the name \"" + media.authorName + "\" is given twice";
            return false;
        }
        if (media.size < static_cast<std::uint64_t>(embeddedFileMinimumSize)) {
            error = media.path + ": only " + std::to_string(media.size)
                    + " bytes; the player never extracts embedded files shorter than 10 bytes";
            return false;
        }
    }
    if (options.requirePlayable) {
        if (sources.media.empty()) {
            error = "media: no files to embed; the player refuses a bank without embedded files";
            return false;
        }
        if (sources.questionPages.empty()) {
            error = "pages: no question page (qNN.txt); the player refuses a bank without questions";
            return false;
        }
        if (BankSettings::parse(sources.settings).versionRefused()) {
            error = "settings.txt: version " + getTag(sources.settings, "version")
                    + "; the player refuses banks of version 2 or newer";
            return false;
        }
        // The player reads anything else as no limit: an examiner who set
        // one would hand out an untimed exam.
        const std::string limit = getTag(sources.settings, "timeLimitMinutes");
        long long minutes = 0;
        if (!limit.empty() && (!parseIntStrict(limit, minutes) || minutes < 0 || minutes > maxTimeLimitMinutes)) {
            error = "settings.txt: timeLimitMinutes " + limit + "; give a whole number of minutes from 0 (no limit) to "
                    + std::to_string(maxTimeLimitMinutes);
            return false;
        }
    }
    return true;
}

std::string buildPageList(const std::vector<PageSource>& pages)
{
    std::string list;
    std::size_t total = 0;
    for (const PageSource& page : pages)
        total += page.text.size() + 2 * pageKey.size() + 16;
    list.reserve(total);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const std::string key = std::string(pageKey) + std::to_string(k);
        list += '<';
        list += key;
        list += '>';
        list += pages[k].text;
        list += "</";
        list += key;
        list += ">\r\n";
    }
    return list;
}

std::string buildEmbeddedFileList(const std::vector<MediaSource>& media)
{
    std::string list;
    std::uint64_t offset = 0;
    for (const MediaSource& file : media) {
        const std::uint64_t end = offset + file.size;
        list += '<' + file.authorName + '>' + std::to_string(offset) + ',' + std::to_string(end) + "</"
                + file.authorName + ">\r\n";
        offset = end;
    }
    return list;
}

std::string buildIndexContent(std::string_view fileHeader, std::string_view testList,
                              std::string_view questionFileList, std::string_view preTestFileList)
{
    std::string body;
    body.reserve(fileHeader.size() + testList.size() + questionFileList.size() + preTestFileList.size() + 200);
    auto element = [&](std::string_view key, std::string_view value) {
        body += makeElement(key, value);
        body += "\r\n";
    };
    element("fileHeader", fileHeader);
    element("testList", testList);
    element("questionFileList", questionFileList);
    element("preTestFileList", preTestFileList);
    // Embedded files are only extracted from bank offset 500 on, and they
    // start at N: pad the index so that N reaches 500.
    const std::size_t minimumContent = static_cast<std::size_t>(embeddedFileMinimumOffset) - storedFileOverhead;
    if (bankLengthFieldWidth + body.size() < minimumContent)
        body.append(minimumContent - bankLengthFieldWidth - body.size(), ' ');
    const auto length = static_cast<std::int64_t>(storedFileOverhead + bankLengthFieldWidth + body.size());
    return zeroPadded(length, bankLengthFieldWidth) + body;
}

PackResult writeBank(const BankSources& sources, const std::string& bankPath, const PackOptions& options)
{
    PackResult result;
    if (!checkBankSources(sources, options, result.error))
        return result;

    const std::string content =
        buildIndexContent(buildEmbeddedFileList(sources.media), sources.settings,
                          buildPageList(sources.questionPages), buildPageList(sources.preTestPages));
    const RandomSource random = options.random ? options.random : clockSeededRandom();
    const std::string index = scrambleText(content, bankColumn, random);
    result.indexLength = bankLengthFromContent(content);
    if (static_cast<std::int64_t>(index.size()) != result.indexLength) {
        result.error = bankPath + ": internal error: the scrambled index is not " + std::to_string(result.indexLength)
                       + " bytes long";
        return result;
    }

    ReplacingFile file(bankPath, random);
    if (!file.isOpen()) {
        result.error = bankPath + ": cannot be created (" + file.error() + ")";
        return result;
    }
    auto abandon = [&](const std::string& why) {
        result.error = why;
        return result;
    };
    if (!file.write(index.data(), index.size()))
        return abandon(bankPath + ": write error (" + file.error() + ")");
    std::uint64_t total = index.size();
    std::vector<char> buffer(copyChunk);
    for (const MediaSource& media : sources.media) {
        std::ifstream in(media.path, std::ios::binary);
        if (!in)
            return abandon(media.path + ": cannot be read");
        std::uint64_t copied = 0;
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const auto got = static_cast<std::size_t>(in.gcount());
            if (got == 0)
                break;
            if (copied + got > media.size)
                return abandon(media.path + ": changed while the bank was written");
            if (!file.write(buffer.data(), got))
                return abandon(bankPath + ": write error (" + file.error() + ")");
            copied += got;
        }
        if (in.bad() || copied != media.size)
            return abandon(media.path + ": changed or unreadable while the bank was written");
        total += copied;
    }
    if (!file.commit())
        return abandon(bankPath + ": cannot be written (" + file.error() + ")");
    result.ok = true;
    result.bankSize = total;
    return result;
}

PackResult packBank(const std::string& sourceDir, const std::string& bankPath, const PackOptions& options)
{
    PackResult result;
    BankSources sources;
    if (!readBankSources(sourceDir, sources, result.error))
        return result;
    return writeBank(sources, bankPath, options);
}

UnpackResult unpackBank(const std::string& bankPath, const std::string& targetDir)
{
    UnpackResult result;
    std::error_code ec;
    if (!fs::is_regular_file(bankPath, ec)) {
        result.error = bankPath + ": no such file";
        return result;
    }
    const BankIndexResult read = readBankIndex(bankPath);
    if (!read.ok()) {
        result.error = bankPath + ": " + bankReadErrorText(read.error);
        return result;
    }
    const BankIndex& index = read.index;
    const fs::path root(targetDir);
    if (fs::exists(root, ec) && !(fs::is_directory(root, ec) && fs::is_empty(root, ec))) {
        result.error = targetDir + ": exists and is not an empty folder";
        return result;
    }
    fs::create_directories(root / "pages", ec);
    if (ec) {
        result.error = pathText(root / "pages") + ": cannot be created (" + ec.message() + ")";
        return result;
    }
    auto writeText = [&](const fs::path& path, std::string_view text) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            result.error = pathText(path) + ": cannot be written";
            return false;
        }
        return true;
    };
    if (!writeText(root / "settings.txt", index.testList))
        return result;
    auto writePages = [&](std::string_view list, const char* prefix) {
        const int count = listPageCount(list);
        const NumberedTags pages(list, pageKey, count);
        for (int k = 0; k < count; ++k) {
            const std::string number = zeroPadded(k, 2);
            if (!writeText(root / "pages" / (prefix + number + ".txt"), pages.valueView(k)))
                return false;
        }
        return true;
    };
    if (!writePages(index.preTestFileList, "pre-") || !writePages(index.questionFileList, "q"))
        return result;

    const std::vector<EmbeddedFileEntry> entries = parseEmbeddedFileList(index.fileHeader);
    std::set<std::string> authorNames;
    std::set<std::string> fileNames;
    std::vector<std::pair<std::string, std::string>> written; // author name, file name
    bool mediaCreated = false;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const EmbeddedFileEntry& entry = entries[n];
        const std::string label = "embedded file " + std::to_string(n) + " \"" + entry.authorName + "\"";
        if (const std::string problem = mediaNameProblem(entry.authorName); !problem.empty()) {
            result.warnings.push_back(label + ": skipped: " + problem);
            continue;
        }
        if (!authorNames.insert(entry.authorName).second) {
            result.warnings.push_back(label + ": skipped: an earlier file has the same name");
            continue;
        }
        const std::optional<ByteRange> range = embeddedFileRange(entry, index.length);
        if (!range) {
            result.warnings.push_back(label + ": skipped: range " + std::to_string(entry.start) + ","
                                      + std::to_string(entry.end) + " is never extracted by the player");
            continue;
        }
        std::string fileName = isPortableFileName(entry.authorName) ? entry.authorName : fallbackFileName(n, entry.authorName);
        while (fileNames.count(fileName))
            fileName = "x-" + fileName;
        if (!mediaCreated) {
            fs::create_directories(root / "media", ec);
            if (ec) {
                result.error = pathText(root / "media") + ": cannot be created (" + ec.message() + ")";
                return result;
            }
            mediaCreated = true;
        }
        std::string why;
        if (!copyBankRange(bankPath, *range, pathText(root / "media" / fileName), &why)) {
            result.warnings.push_back(label + ": skipped: " + why);
            continue;
        }
        fileNames.insert(fileName);
        written.emplace_back(entry.authorName, fileName);
    }
    // files.txt only when packing media/ in name order would not give the
    // same list.
    bool needList = false;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i].first != written[i].second || (i > 0 && !(written[i - 1].second < written[i].second)))
            needList = true;
    }
    if (needList) {
        std::string list;
        for (const auto& [author, file] : written)
            list += author == file ? author + "\n" : author + "\t" + file + "\n";
        if (!writeText(root / "files.txt", list))
            return result;
    }
    result.ok = true;
    return result;
}

bool describeBank(const std::string& bankPath, std::string& text, std::string& error)
{
    std::error_code ec;
    if (!fs::is_regular_file(bankPath, ec)) {
        error = bankPath + ": no such file";
        return false;
    }
    const BankIndexResult read = readBankIndex(bankPath);
    if (!read.ok()) {
        error = bankPath + ": " + bankReadErrorText(read.error);
        return false;
    }
    const BankIndex& index = read.index;
    const std::string& settings = index.testList;
    std::ostringstream out;
    auto flag = [&](const char* key) {
        out << "  " << key << ": " << getTagInt(settings, key, 0) << '\n';
    };
    out << "bank: " << bankPath << '\n';
    out << "index length (N): " << index.length << '\n';
    out << "file size: " << index.fileSize << " bytes\n";
    if (index.truncated)
        out << "warning: the file ends before the end of the index section\n";
    const BankSettings rules = BankSettings::parse(settings);
    out << "version: " << rules.version << (rules.versionRefused() ? " (refused by the player)" : "") << '\n';
    out << "pre-test pages: " << listPageCount(index.preTestFileList) << '\n';
    const int questions = listPageCount(index.questionFileList);
    out << "question pages: " << questions << '\n';
    out << "settings:\n";
    flag("isExam");
    const int number = getTagInt(settings, "NumberOfQuestions", 0);
    out << "  NumberOfQuestions: " << number << (number <= 0 || number > questions ? " (all)" : "") << '\n';
    flag("PresentInRandomOrder");
    flag("allowMarking");
    flag("allowCheating");
    flag("ShowAnswer");
    out << "  password: " << (rules.hasPassword() ? "set" : "none") << '\n';
    out << "  timeLimitMinutes: " << rules.timeLimitMinutes << (rules.isTimed() ? "" : " (no limit)") << '\n';
    const std::string firstQuestion = NumberedTags(index.questionFileList, pageKey, 1).value(0);
    const PageSize size = pageSizeOfQuestionList(index.questionFileList);
    out << "  windowSize (first question): " << getTagInt(firstQuestion, "windowSize", 1) << " (" << size.width
        << " x " << size.height << ")\n";
    const std::vector<EmbeddedFileEntry> entries = parseEmbeddedFileList(index.fileHeader);
    out << "embedded files: " << entries.size() << '\n';
    if (!hasEmbeddedFiles(index.fileHeader))
        out << "warning: the player refuses a bank without embedded files\n";
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const EmbeddedFileEntry& entry = entries[n];
        out << "  " << entry.authorName << "  ";
        const std::optional<ByteRange> range = embeddedFileRange(entry, index.length);
        if (!range)
            out << "range " << entry.start << ',' << entry.end << ": never extracted\n";
        else if (static_cast<std::uint64_t>(range->to) > index.fileSize)
            out << range->size() << " bytes: beyond the end of the file\n";
        else
            out << range->size() << " bytes\n";
    }
    text = out.str();
    return true;
}

} // namespace zx
