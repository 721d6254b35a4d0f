#include "tools/bankimport/bank_import.h"

#include "tagtext/tagged_text.h"
#include "tools/bankimport/gift_reader.h"
#include "tools/bankimport/moodle_reader.h"
#include "tools/bankimport/qti_reader.h"
#include "tools/bankpack/bank_packer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace zx::import {

namespace fs = std::filesystem;

namespace {

const char* kindWord(const Question& q)
{
    switch (q.kind) {
    case QuestionKind::Choice: return q.singleAnswer ? "single choice" : "multiple choice";
    case QuestionKind::TrueFalse: return "true/false";
    case QuestionKind::ShortAnswer: return "short answer";
    case QuestionKind::Numerical: return "numerical";
    case QuestionKind::Matching: return "matching";
    case QuestionKind::Ordering: return "ordering";
    case QuestionKind::Description: return "description";
    case QuestionKind::Cloze: return "cloze";
    case QuestionKind::Unsupported: break;
    }
    return "other";
}

bool readWhole(const std::string& path, std::string& bytes, std::string& error)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = path + ": no such file";
        return false;
    }
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec || size > largestSource) {
        error = path + ": too large to import (more than " + std::to_string(largestSource >> 20) + " MB)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be opened for reading";
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(in.gcount()) != size) {
        error = path + ": cannot be read";
        return false;
    }
    return true;
}

bool writeFile(const fs::path& path, const std::string& bytes, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        error = path.string() + ": cannot be written";
        return false;
    }
    return true;
}

std::string pageNumber(std::size_t n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02zu", n);
    return buffer;
}

} // namespace

const char* formatName(SourceFormat format)
{
    switch (format) {
    case SourceFormat::Gift: return "GIFT";
    case SourceFormat::Moodle: return "Moodle XML";
    case SourceFormat::Qti: return "QTI";
    case SourceFormat::Detect: break;
    }
    return "unknown";
}

SourceFormat detectFormat(const std::string& bytes)
{
    if (bytes.rfind("PK", 0) == 0)
        return SourceFormat::Qti;
    if (looksLikeGift(bytes))
        return SourceFormat::Gift;
    const std::string_view head = std::string_view(bytes).substr(0, 4096);
    if (head.find("<quiz") != std::string_view::npos)
        return SourceFormat::Moodle;
    return SourceFormat::Qti;
}

SourceDocument readSource(const std::string& bytes, SourceFormat format)
{
    if (format == SourceFormat::Detect)
        format = detectFormat(bytes);
    switch (format) {
    case SourceFormat::Gift: return readGift(bytes);
    case SourceFormat::Moodle: return readMoodle(bytes);
    default: break;
    }
    if (bytes.rfind("PK", 0) == 0)
        return readQtiPackage(bytes);
    return readQtiXml(bytes);
}

std::string importSettings(const ImportOptions& options, const std::vector<std::string>& categories)
{
    const bool exam = options.exam;
    std::string categoryList;
    for (const std::string& c : categories)
        categoryList += "<zxCategory>" + tagSafeText(c) + "</zxCategory> ";
    std::string s = "<version>1</version> <testName>" + tagSafeText(options.title.empty() ? "Imported questions" : options.title)
                    + "</testName> <ExaminerName>-empty45646-</ExaminerName>\r\n<isExam>" + std::to_string(exam)
                    + "</isExam> <NumberOfQuestions>" + std::to_string(options.random)
                    + "</NumberOfQuestions> <PresentInRandomOrder>" + std::to_string(options.random > 0)
                    + "</PresentInRandomOrder>\r\n<allowMarking>" + std::to_string(!exam) + "</allowMarking> <allowCheating>"
                    + std::to_string(!exam) + "</allowCheating> <ShowAnswer>0</ShowAnswer> <ShowFeedback>1</ShowFeedback>\r\n"
                    "<BankPassword>0</BankPassword> <shouldUserEnterDetails>" + std::to_string(options.details)
                    + "</shouldUserEnterDetails> <userEntryLabel1>Name</userEntryLabel1> <userEntryLabel2>Class</userEntryLabel2> "
                      "<userEntryLabel3>Date</userEntryLabel3>\r\n"
                      "<showBackgroundCover>0</showBackgroundCover> <allowSaving>1</allowSaving> <allowPrinting>1</allowPrinting> "
                      "<questionPreview>0</questionPreview>\r\n"
                      "<showResults>1</showResults> <showResultsSummary>1</showResultsSummary> "
                      "<ResultsSummaryPriority>1</ResultsSummaryPriority> <allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>\r\n"
                      "<VerboseResults>0</VerboseResults> <ShowScore>1</ShowScore> <ShowPercentage>1</ShowPercentage> "
                      "<UseMinimumAsPercentageBaseline>0</UseMinimumAsPercentageBaseline>\r\n<zxCategories>"
                    + categoryList + "</zxCategories>\r\n<displayRules></displayRules>\r\n";
    if (options.timeLimitMinutes > 0)
        s += "<timeLimitMinutes>" + std::to_string(options.timeLimitMinutes) + "</timeLimitMinutes>\r\n";
    return s;
}

int runImport(const ImportOptions& options, const TextMeasurer& measurer, ImportMedia& media, std::ostream& out,
              std::ostream& err)
{
    auto fail = [&](const std::string& message) {
        err << "zxbank: " << message << '\n';
        return 1;
    };
    struct Media {
        std::string name;
        std::string bytes;
    };
    std::vector<Media> embedded;
    std::vector<PageSource> pages;
    std::vector<std::string> categories;
    bool tooManyCategories = false;
    int number = 0;

    for (std::size_t s = 0; s < options.sources.size(); ++s) {
        const std::string& path = options.sources[s];
        std::string bytes;
        std::string error;
        if (!readWhole(path, bytes, error))
            return fail(error);
        const SourceDocument document = readSource(bytes, options.format);
        bytes.clear();
        if (document.questions.empty())
            return fail(path + ": " + (document.error.empty() ? "no question found" : document.error));
        // Pictures are prepared when a page first uses them.
        std::map<std::string, std::optional<PlacedPicture>> prepared;
        for (const Question& question : document.questions) {
            ++number;
            std::vector<Media> pageMedia;
            bool pictureLost = false;
            PictureLookup lookup = [&](const std::string& key) -> std::optional<PlacedPicture> {
                auto found = prepared.find(key);
                if (found == prepared.end()) {
                    std::optional<PlacedPicture> placed;
                    const Picture* picture = findPicture(document, key);
                    std::string why;
                    std::optional<PreparedPicture> ready;
                    if (picture)
                        ready = media.preparePicture(picture->bytes, why);
                    if (ready) {
                        char name[48];
                        std::snprintf(name, sizeof name, "pic-%04zu%s", embedded.size() + pageMedia.size() + 1,
                                      ready->extension.c_str());
                        placed = PlacedPicture{name, ready->width, ready->height};
                        pageMedia.push_back({name, std::move(ready->bytes)});
                    }
                    found = prepared.emplace(key, placed).first;
                }
                if (!found->second)
                    pictureLost = true;
                return found->second;
            };
            PageResult page = buildQuestionPage(question, options.geometry, measurer, lookup);
            if (pictureLost)
                page.notes.push_back("a picture that cannot be shown left out");
            const std::string name = question.name.empty() ? "(no name)" : question.name;
            out << number << ". " << name << " [" << (question.kind == QuestionKind::Unsupported ? question.kindName : kindWord(question))
                << "]: ";
            if (!page.built) {
                out << "skipped: " << page.skipReason << '\n';
                // Pictures only this page used stay out of the bank.
                for (const Media& m : pageMedia)
                    std::erase_if(prepared, [&](const auto& entry) {
                        return entry.second && entry.second->mediaName == m.name;
                    });
                continue;
            }
            if (page.notes.empty()) {
                out << "imported\n";
            } else {
                out << "approximated: ";
                for (std::size_t i = 0; i < page.notes.size(); ++i)
                    out << (i ? "; " : "") << page.notes[i];
                out << '\n';
            }
            for (Media& m : pageMedia)
                embedded.push_back(std::move(m));
            if (!question.category.empty()
                && std::find(categories.begin(), categories.end(), question.category) == categories.end()) {
                if (categories.size() < 30)
                    categories.push_back(question.category);
                else
                    tooManyCategories = true;
            }
            pages.push_back({path + " #" + std::to_string(number), std::move(page.record)});
        }
    }
    if (pages.empty())
        return fail("no importable question in " + std::to_string(options.sources.size()) + " source(s)");
    // A page list holds at most 500 pages; a source folder can take more
    // and be split by hand.
    if (pages.size() > 500 && !options.folder)
        return fail(std::to_string(pages.size()) + " questions: a bank holds at most 500 (--folder writes them all)");
    if (tooManyCategories)
        out << "note: only the first 30 categories are counted in the reports\n";
    if (options.random > static_cast<int>(pages.size()))
        out << "note: --random " << options.random << " is more than the " << pages.size() << " questions\n";

    for (auto& [name, bytes] : media.drawnPictures())
        embedded.push_back({name, std::move(bytes)});
    std::vector<PageSource> preTest;
    if (!options.title.empty())
        preTest.push_back({"title page", buildTitlePage(options.title, options.geometry, measurer)});
    const std::string settings = importSettings(options, categories);

    std::string error;
    std::error_code ec;
    if (options.folder) {
        const fs::path dir(options.output);
        if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec)))
            return fail(options.output + ": exists and is not an empty folder");
        fs::create_directories(dir / "pages", ec);
        fs::create_directories(dir / "media", ec);
        if (ec)
            return fail(options.output + ": cannot be created: " + ec.message());
        bool ok = writeFile(dir / "settings.txt", settings, error);
        for (std::size_t i = 0; ok && i < preTest.size(); ++i)
            ok = writeFile(dir / "pages" / ("pre-" + pageNumber(i) + ".txt"), preTest[i].text, error);
        for (std::size_t i = 0; ok && i < pages.size(); ++i)
            ok = writeFile(dir / "pages" / ("q" + pageNumber(i) + ".txt"), pages[i].text, error);
        for (std::size_t i = 0; ok && i < embedded.size(); ++i)
            ok = writeFile(dir / "media" / embedded[i].name, embedded[i].bytes, error);
        if (!ok)
            return fail(error);
        out << options.output << ": source folder with " << pages.size() << " question page(s)\n";
        return 0;
    }

    // The packer embeds files from disk: the media go to a private folder
    // that is removed again.
    std::string pattern = (fs::temp_directory_path(ec) / "zxbank-import-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return fail("cannot create a temporary folder");
    const fs::path work(pattern);
    BankSources sources;
    sources.settings = settings;
    sources.preTestPages = std::move(preTest);
    sources.questionPages = std::move(pages);
    bool ok = true;
    for (std::size_t i = 0; ok && i < embedded.size(); ++i) {
        const fs::path file = work / std::to_string(i);
        ok = writeFile(file, embedded[i].bytes, error);
        sources.media.push_back({embedded[i].name, file.string(), embedded[i].bytes.size()});
    }
    PackResult result;
    if (ok)
        result = writeBank(sources, options.output);
    fs::remove_all(work, ec);
    if (!ok)
        return fail(error);
    if (!result.ok)
        return fail(result.error);
    out << options.output << ": " << sources.questionPages.size() << " question page(s), " << result.bankSize << " bytes\n";
    return 0;
}

} // namespace zx::import
