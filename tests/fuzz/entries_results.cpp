// The fuzz entries of the results and the journal: RTF, results files (as
// the player and the teacher's tools read them), the class-list row,
// verify, the scoring pass and the crash journal.
#include "tests/fuzz/entries.h"
#include "tests/fuzz/entry_support.h"

#include "results/core/item_analysis_report.h"
#include "results/core/report_writer.h"
#include "results/core/results_batch.h"
#include "results/core/results_table.h"
#include "results/core/results_verify.h"

#include <algorithm>
#include <cmath>

namespace zx::fuzz {

using namespace support;

// ------------------------------------------------------------ results

std::string rtf(std::string_view input)
{
    const RtfReadResult read = readRtfDocument(input);
    (void)read.document.plainText();
    // What was read is written and read again unchanged.
    const ReportDocument first = normalised(read.document);
    const std::string written = writeRtf(first);
    const RtfReadResult again = readRtfDocument(written);
    if (!again.isRtf || !again.complete)
        return "the written RTF does not read as one complete document";
    if (normalised(again.document) != first)
        return "the written RTF reads as another document";
    return {};
}

std::string resultsFile(std::string_view input)
{
    const ResultsFileContent content = parseResultsContent(input);
    (void)readRtf(content.detailedRtf);
    (void)readRtf(content.summaryRtf);
    const ResultsSettings settings = ResultsSettings::parse(content.testSettings);
    const ResultsDisplayMode mode = settings.displayMode();
    (void)planResultsDisplay(mode);
    (void)resultsPageReport(mode, true);
    (void)lastAvailableQuestion(content.questionList);
    (void)withResultsExtension(content.bankPathRel);

    // Texts without marks or zero bytes are written and read back as they are.
    const auto plain = [](const std::string& text) { return text.find_first_of(std::string("<\0", 2)) == std::string::npos; };
    if (plain(content.detailedRtf) && plain(content.summaryRtf) && plain(content.bankPathAbs)
        && plain(content.bankPathRel) && plain(content.testSettings) && plain(content.questionList)) {
        ResultsFileContent back = parseResultsContent(buildResultsContent(content));
        back.version = content.version;
        if (back != content)
            return "a results content does not read back";
    }
    return {};
}

std::string scoring(std::string_view input)
{
    const auto [settings, questionList] = splitAtZero(input);
    const int last = lastAvailableQuestion(questionList);
    const FinishedTest finished = finishTest(settings, questionList, last, fixedLabels());
    // Both reports are stored as RTF and shown again from it unchanged.
    for (const ReportDocument* report : {&finished.detailed, &finished.summary}) {
        if (normalised(readRtf(writeRtf(*report))) != storedForm(*report))
            return "a report does not read back from its RTF";
    }

    // Every object stays within its own marks, also for question numbers
    // beyond the last available one.
    MarksChecker checker;
    const TestScore score = scoreTest(finished.settings, questionList, std::min(last + 3, 510), &checker);
    if (!checker.problem.empty())
        return checker.problem;
    for (const CategoryScore& category : score.categories) {
        if (category.tally.items < 0)
            return "a category counts fewer than no items";
    }
    (void)firedRuleTexts(finished.settings.displayRules, score);
    return {};
}

// ------------------------------------------------------------ the teacher's tools

std::string resultsRead(std::string_view input)
{
    const std::string& folder = privateFolder();
    if (folder.empty())
        return "no private temporary folder";
    namespace fs = std::filesystem;
    const std::string files = folder + "/results";
    std::error_code error;
    fs::remove_all(files, error);
    fs::create_directories(files, error);

    // The bytes as they are, and stored (scrambled) as the player stores a
    // results file.
    const std::string plain = files + "/plain.zxr";
    const std::string stored = files + "/stored.zxr";
    if (!writeBytes(plain, input)
        || !writeStoredFile(input, stored, fixedRandom(static_cast<std::uint32_t>(input.size()))))
        return "the results files could not be written";
    for (const std::string& path : {plain, stored}) {
        const ResultsFileRead read = readResultsFile(path);
        if (read.ok() == !read.error.empty())
            return "a read is neither whole nor refused with a reason";
        if (read.ok() && read.content.version >= firstRefusedResultsVersion)
            return "a results file of a newer version was taken";
        if (!read.ok() && read.content != ResultsFileContent{})
            return "a refused results file left content behind";
    }

    // Names made of the input: the folder gives exactly its regular
    // ".zxr" files, in byte order.
    std::vector<std::string> made;
    std::string name;
    for (std::size_t i = 0; i <= input.size() && made.size() < 8; ++i) {
        const char c = i < input.size() ? input[i] : '\n';
        if (c != '\n') {
            if (c != '/' && c != '\0' && name.size() < 64)
                name += c;
            continue;
        }
        if (!name.empty() && name != "." && name != ".." && writeBytes(files + "/" + name, "x"))
            made.push_back(name);
        name.clear();
    }
    std::vector<std::string> expected;
    for (const fs::directory_entry& entry : fs::directory_iterator(files, error)) {
        const std::string file = entry.path().filename().string();
        if (entry.is_regular_file(error) && lowerExtension(file) == ".zxr")
            expected.push_back(files + "/" + file);
    }
    std::sort(expected.begin(), expected.end());
    const ResultsFileList list = collectResultsFiles({files, plain, files + "/missing/none"});
    expected.push_back(plain);
    if (list.files != expected)
        return "a folder did not give exactly its results files in order";
    if (list.errors.size() != 1)
        return "a missing name was not reported once";
    fs::remove_all(files, error);
    return {};
}

std::string resultsTableRow(std::string_view input)
{
    const ResultsFileContent content = parseResultsContent(input);
    ResultsTable table;
    table.add(makeResultsRow(std::string(input.substr(0, 40)), content));
    table.add(makeResultsRow("second.zxr", content));
    const std::vector<std::string> header = table.header();
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::vector<std::string> cells = table.cells(row);
        if (cells.size() != header.size())
            return "a row has not one cell per column";
    }
    for (const std::string& text : {table.write(TableFormat::Csv), table.write(TableFormat::Tsv)}) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if ((c < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7F)
                return "a control character reached the table";
        }
    }
    const std::string cell = spreadsheetText(input);
    const std::size_t first = cell.find_first_not_of(' ');
    if (first != std::string::npos && std::string_view("=+-@").find(cell[first]) != std::string_view::npos)
        return "a text cell could be taken for a formula";
    const std::string iso = isoDateTime(input.substr(0, 14));
    if (!iso.empty() && (iso.size() != 19 || iso[4] != '-' || iso[10] != 'T'))
        return "a date came out in another form";
    return {};
}

std::string verify(std::string_view input)
{
    const ResultsFileContent content = parseResultsContent(input);
    const VerifyResult result = verifyResults(content);
    if (result.outcome == VerifyOutcome::Agrees && !result.notes.empty())
        return "a file that agrees has notes";
    if (result.outcome != VerifyOutcome::Agrees && result.notes.empty())
        return "a file that does not agree says nothing";

    // The totals read from report lines: the input's lines as paragraphs,
    // under settings read from the input.
    ReportDocument report;
    std::size_t start = 0;
    while (start <= input.size() && report.paragraphs.size() < 2000) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        Paragraph paragraph;
        paragraph.runs.push_back({std::string(input.substr(start, end - start)), {}});
        report.paragraphs.push_back(std::move(paragraph));
        start = end + 1;
    }
    const ResultsSettings settings = ResultsSettings::parse(input);
    for (const ReportTotals& totals : {detailedReportTotals(report, settings), summaryReportTotals(report, settings)}) {
        if (totals.items && *totals.items < 0)
            return "a report was read with fewer than no items";
        if (!totals.found() && totals != ReportTotals{})
            return "totals were read without their items line";
    }
    (void)detailedHeadingRuleLine(settings);
    return {};
}

std::string itemAnalysis(std::string_view input)
{
    const ResultsFileContent content = parseResultsContent(input);
    const CandidateResponses responses = collectResponses(content);
    ItemAnalysis analysis;
    analysis.add("a.zxr", responses);
    analysis.add("b.zxr", responses);
    ResultsFileContent other = content;
    other.testSettings += "<testName>another</testName>";
    other.bankPathRel = "another.zxb";
    analysis.add("c.zxr", collectResponses(other));
    const TestStatistics statistics = analysis.result();

    const auto finite = [](double v) { return std::isfinite(v); };
    if (statistics.candidates + statistics.leftOut.size() != 3)
        return "a file was lost or counted twice";
    if (!finite(statistics.mean) || !finite(statistics.sd) || !finite(statistics.median))
        return "a total's measure is not a number";
    if (statistics.alpha && (!finite(*statistics.alpha) || *statistics.alpha > 1 + 1e-9))
        return "alpha is above 1 or not a number";
    std::size_t binned = 0;
    for (const DistributionBin& bin : statistics.distribution)
        binned += bin.count;
    if (binned != statistics.candidates)
        return "the distribution does not hold every candidate";
    for (const QuestionStatistics& q : statistics.questions) {
        if (q.discrimination && !(*q.discrimination >= -1 && *q.discrimination <= 1))
            return "a discrimination lies outside -1 .. 1";
        if (!finite(q.mean) || !finite(q.sd) || (q.facility && !finite(*q.facility)))
            return "a question's measure is not a number";
        for (const OptionStatistics& o : q.options)
            if (o.chosen > q.candidates)
                return "an option was chosen more often than the question was seen";
    }
    (void)writeStatisticsTable(statistics, TableFormat::Csv);
    const std::string page = writeStatisticsPage(statistics);
    if (page.find("<script") != std::string::npos || page.find("<iframe") != std::string::npos)
        return "text of the file reached the page unescaped";
    return {};
}

// ------------------------------------------------------------ journal

std::string journal(std::string_view input)
{
    const auto [base, log] = splitAtZero(input);
    std::uint64_t generation = 0;
    const std::optional<JournalRecord> record = parseJournalBase(base, &generation);
    std::uint64_t again = 0;
    if (record && (parseJournalBase(journalBaseContent(*record, generation), &again) != record || again != generation))
        return "a journal base does not read back";

    // The log over the record read (or over a small test), in every
    // scrambling column.
    JournalRecord over = record.value_or(JournalRecord{});
    if (!record)
        over.lastQuestion = 3;
    for (int column = 0; column <= 5; ++column) {
        JournalRecord applied = over;
        JournalFieldList fields;
        const std::size_t entries = applyJournalLog(applied, log, column, generation, &fields);
        if (entries == 0 && !fields.empty())
            return "fields came from a journal log without an entry applied";
        // The time of a timed test taken up again, as the player reads it.
        fields.insert(fields.begin(), over.otherFields.begin(), over.otherFields.end());
        if (const std::optional<TimeJournal> time = readTimeJournal(fields)) {
            if (time->usedMs < 0 || time->notRunningMs < 0 || time->extraPercent < 0
                || time->extraPercent > maxExtraTimePercent)
                return "a journal's time read out of range";
            const TestTimer timer = resumedTimer(TimeAllowance{maxTimeLimitMinutes, time->extraPercent}, *time, 0);
            if (timer.usedMs() > timer.allowedMs() || timer.notRunningMs() < time->notRunningMs)
                return "a resumed timer went wrong";
        }
        // The base's page is taken as it is (the resume keeps it within the
        // test); the log only moves to pages the test has.
        if (applied.currentQuestion != over.currentQuestion
            && (applied.currentQuestion < -1 || applied.currentQuestion > over.lastQuestion + 1))
            return "the journal log moved to a page the test does not have";
        if (applied.testSettings != over.testSettings || applied.bankPath != over.bankPath)
            return "the journal log changed what it cannot hold";
    }

    // The files: the base written and read back, then the log's bytes as
    // they stand on the disk, then one entry written by the journal.
    if (!record || record->questionList.size() > (1u << 16))
        return {};
    const std::string& folder = privateFolder();
    if (folder.empty())
        return "no private temporary folder";
    Journal files(folder, fixedRandom(static_cast<std::uint32_t>(input.size())));
    if (!files.writeBase(*record))
        return "the journal base could not be written";
    JournalRead read = files.read();
    if (read.status != JournalStatus::Ok || read.record != *record || read.logEntries != 0)
        return "the journal base written does not read back";
    if (!writeBytes(files.logPath(), log))
        return "the journal log could not be written";
    read = files.read();
    if (read.status != JournalStatus::Ok || read.record.bankPath != record->bankPath
        || read.record.lastQuestion != record->lastQuestion || read.record.testSettings != record->testSettings)
        return "a journal log spoilt the base it applies to";
    if (files.writeBase(*record) && files.appendPage(0, log.substr(0, 64), -1, "now")) {
        read = files.read();
        if (read.status != JournalStatus::Ok || read.logEntries != 1 || read.record.currentQuestion != -1
            || read.record.savedAt != "now")
            return "a journal entry written does not read back";
    }
    files.clear();
    return {};
}

} // namespace zx::fuzz
