#include "tools/zxresults/commands.h"

#include "app/core/language_choice.h"
#include "results/core/finish_test.h"
#include "results/core/results_verify.h"
#include "results/core/rtf_reader.h"
#include "tagtext/stored_file.h"
#include "testrun/core/test_assembly.h"
#include "tools/zxresults/batch.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace fs = std::filesystem;

namespace zxresults {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The language file for --lang: a path when the name has a "/" or ends in
// ".zxc", otherwise a language of ExLang/ beside the program, found by its
// exact name first and then without regard to case.
std::optional<zx::LanguageTexts> loadLanguage(const Options& options, std::string& error)
{
    const std::string name = options.language.empty() ? std::string(zx::defaultLanguageName) : options.language;
    fs::path path;
    if (name.find('/') != std::string::npos || zx::lowerExtension(name) == ".zxc") {
        path = name;
    } else {
        const fs::path folder = options.programFolder / "ExLang";
        const std::vector<zx::LanguageFileEntry> files = zx::listLanguageFiles(folder);
        auto exact = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.name == name; });
        if (exact == files.end())
            exact = std::find_if(files.begin(), files.end(),
                                 [&](const auto& f) { return lower(f.name) == lower(name); });
        if (exact == files.end()) {
            std::string known;
            for (const zx::LanguageFileEntry& file : files)
                known += (known.empty() ? "" : ", ") + file.name;
            error = "no language \"" + name + "\" in " + folder.string()
                    + (known.empty() ? " (the folder holds no language file)" : " (there are: " + known + ")");
            return std::nullopt;
        }
        path = exact->path;
    }
    zx::LanguageTexts texts;
    if (!zx::loadLanguageFile(path, texts)) {
        error = path.string() + ": the language file cannot be read";
        return std::nullopt;
    }
    return texts;
}

// The one file `show` and `report` take.
std::optional<zx::ResultsFileContent> readOne(const Options& options, int& status)
{
    if (options.inputs.size() != 1) {
        printError("give exactly one results file");
        status = exitUsage;
        return std::nullopt;
    }
    const std::string& path = options.inputs.front();
    const zx::ResultsFileRead read = zx::readResultsFile(path);
    if (!read.ok()) {
        printError(path + ": " + read.error);
        status = exitSomeFailed;
        return std::nullopt;
    }
    return read.content;
}

std::string storedReportText(const std::string& rtf)
{
    // As the player loads them: a text of 5 characters or fewer is no report.
    return rtf.size() > 5 ? zx::readRtf(rtf).plainText() : std::string();
}

} // namespace

int runTable(const Options& options)
{
    Batch batch(options.inputs);
    zx::ResultsTable table;
    batch.runParallel(
        [](const std::string& path, const zx::ResultsFileRead& read) { return zx::makeResultsRow(path, read.content); },
        [&](const std::string&, zx::ResultsRow& row) { table.add(std::move(row)); });
    if (table.rowCount() > 0)
        batch.out(table.write(options.format));
    return batch.anyFailed() ? exitSomeFailed : exitOk;
}

int runShow(const Options& options)
{
    int status = exitOk;
    const auto content = readOne(options, status);
    if (!content)
        return status;
    if (content->detailedRtf.size() <= 5 && content->summaryRtf.size() <= 5) {
        printError(options.inputs.front() + ": the file stores no report");
        return exitSomeFailed;
    }
    writeOut(zx::printableText(storedReportText(content->detailedRtf) + reportSeparator
                                   + storedReportText(content->summaryRtf),
                               true));
    return exitOk;
}

int runReport(const Options& options)
{
    std::string error;
    const auto texts = loadLanguage(options, error);
    if (!texts) {
        printError(error);
        return exitUsage;
    }
    int status = exitOk;
    const auto content = readOne(options, status);
    if (!content)
        return status;
    const zx::ReportLabels labels = zx::ReportLabels::fromLanguage(*texts);
    const zx::FinishedTest finished = zx::finishTest(content->testSettings, content->questionList,
                                                     zx::lastAvailableQuestion(content->questionList), labels);
    // The candidate's details and the bank's texts reach the terminal as
    // text only.
    writeOut(zx::printableText(finished.detailed.plainText() + reportSeparator + finished.summary.plainText(), true));
    return exitOk;
}

int runVerify(const Options& options)
{
    Batch batch(options.inputs);
    std::size_t checked = 0, altered = 0, notVerified = 0;
    // Verified on all processors; the read error, if any, comes along.
    struct Checked {
        std::string readError;
        zx::VerifyResult result;
    };
    batch.runParallel(
        [](const std::string&, const zx::ResultsFileRead& read) {
            return read.ok() ? Checked{{}, zx::verifyResults(read.content)} : Checked{read.error, {}};
        },
        [&](const std::string& name, const Checked& checkedFile) {
            const std::string path = zx::printableText(name);
            ++checked;
            if (!checkedFile.readError.empty()) {
                ++notVerified;
                batch.out(path + ": NOT VERIFIED: " + checkedFile.readError + "\n");
                return;
            }
            const zx::VerifyResult& result = checkedFile.result;
            std::string notes;
            for (const std::string& note : result.notes)
                notes += (notes.empty() ? "" : "; ") + note;
            switch (result.outcome) {
            case zx::VerifyOutcome::Agrees:
                batch.out(path + (result.fromSummary ? ": OK (checked against the summary)\n" : ": OK\n"));
                break;
            case zx::VerifyOutcome::Disagrees:
                ++altered;
                batch.out(path + ": ALTERED: " + notes + (result.fromSummary ? " (summary)\n" : "\n"));
                break;
            case zx::VerifyOutcome::NotVerifiable:
                ++notVerified;
                batch.markFailed();
                batch.out(path + ": NOT VERIFIED: " + notes + "\n");
                break;
            }
        },
        true);
    if (altered > 0 || notVerified > 0)
        printError(std::to_string(altered) + " of " + std::to_string(checked) + " files altered, "
                   + std::to_string(notVerified) + " not verified");
    if (altered > 0)
        return exitAltered;
    return batch.anyFailed() ? exitSomeFailed : exitOk;
}

} // namespace zxresults
