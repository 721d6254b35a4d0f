// zxresults stats: the item analysis of the test most of the files belong
// to, as CSV/TSV on standard output and, with --html, as a page of charts.
#include "results/core/item_analysis_report.h"
#include "tagtext/replacing_file.h"
#include "tools/zxresults/batch.h"
#include "tools/zxresults/commands.h"

namespace zxresults {

int runStats(const Options& options)
{
    Batch batch(options.inputs);
    zx::ItemAnalysis analysis;
    std::size_t added = 0;
    batch.runParallel(
        [](const std::string&, const zx::ResultsFileRead& read) { return zx::collectResponses(read.content); },
        [&](const std::string& path, const zx::CandidateResponses& responses) {
            analysis.add(path, responses);
            ++added;
        });
    if (added == 0) {
        printError("no results file could be read");
        return exitSomeFailed;
    }
    const zx::TestStatistics statistics = analysis.result();
    const std::string chosen = zx::testDescription(statistics.testName, statistics.bankName);
    for (const zx::LeftOutFile& file : statistics.leftOut)
        printError(file.file + ": left out: " + zx::testDescription(file.testName, file.bankName)
                   + ", while most files are of " + chosen);

    bool failed = batch.anyFailed();
    if (!options.htmlOut.empty()) {
        const std::string page = zx::writeStatisticsPage(statistics);
        zx::ReplacingFile out(options.htmlOut, zx::clockSeededRandom());
        if (!out.isOpen() || !out.write(page.data(), page.size()) || !out.commit()) {
            printError(options.htmlOut + ": the page cannot be written (" + out.error() + ")");
            failed = true;
        }
    }
    if (options.htmlOut.empty() || options.formatGiven)
        batch.out(zx::writeStatisticsTable(statistics, options.format));
    return failed ? exitSomeFailed : exitOk;
}

} // namespace zxresults
