// A class list from a folder of 1000 results files of a 50-question test
// (each question with texts, four choice buttons, a typed answer and a drag
// item; reports stored as the player stores them): listing the folder,
// reading and unscrambling each file, scoring it again and writing the CSV,
// all in this process.  The counter catRatio compares that with reading the
// same files' bytes once (what `cat` does); bench/results_table_process.sh
// times the whole zxresults process against cat itself.
//
// With ZX_RESULTS_BENCH_DIR set, the files are written there and kept (the
// scripts use this); otherwise into a temporary folder removed at the end.
// ZX_RESULTS_BENCH_FILES sets another number of files.
#include "results/core/finish_test.h"
#include "results/core/results_batch.h"
#include "results/core/results_table.h"
#include "results/core/rtf_writer.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int fileCount()
{
    const char* count = std::getenv("ZX_RESULTS_BENCH_FILES");
    const int n = count ? std::atoi(count) : 0;
    return n > 0 ? n : 1000;
}
constexpr int questionCount = 50;

std::string el(const std::string& key, const std::string& value) { return zx::makeElement(key, value); }

std::string record(int candidate, int q)
{
    std::string r = "<windowSize>1</windowSize><bgColour>clWhite</bgColour>" + el("ResultsText", "Question about topic " + std::to_string(q))
                    + "<Categories><cat>Algebra</cat><cat>Set " + std::to_string(q % 3) + "</cat></Categories>";
    for (int k = 0; k < 3; ++k)
        r += el("zxText", "<feedback>0</feedback><TextLayer>6</TextLayer><textLeft>10</textLeft><textTop>" + std::to_string(k * 40)
                              + "</textTop><zxFontName>Arial</zxFontName><zxString><zxLine>Read the question carefully "
                                "and choose the best answer from those below.</zxLine></zxString>")
             + "\r\n";
    for (int k = 0; k < 4; ++k)
        r += el("zxButton", el("buttonType", "0") + el("userAnswer", (candidate + q + k) % 4 == 0 ? "1" : "0")
                                + el("ButtonName", "Option " + std::to_string(k)) + el("buttonMarkIfSelected", k == 0 ? "1" : "-0.25")
                                + el("buttonMarkIfNotSelected", "0") + el("buttonResultsText", "-empty45646-")
                                + "<buttonLeft>40</buttonLeft><buttonTop>200</buttonTop><ButtonLayer>6</ButtonLayer>")
             + "\r\n";
    r += el("zxField", el("editRestriction", "0") + el("userAnswer", (candidate + q) % 3 ? "Paris" : "Lyon")
                           + el("FieldName", "Capital") + el("FieldAnswer1", "paris") + el("FieldMarkIfCorrect", "2")
                           + el("FieldMarkIfIncorrect", "0") + el("FieldMarkIfNotSelected", "0")
                           + el("FieldResultsText", "-empty45646-"))
         + "\r\n";
    r += el("zxDrag", el("userAnswer", std::to_string((candidate + q) % 3 - 1)) + el("DragName", "Label")
                          + el("targets", "0,Top,1,100,50,120,40;1,Bottom,0,100,120,120,40;")
                          + el("DragMarkIfNotSelected", "0") + el("DragResultsText", "-empty45646-"))
         + "\r\n";
    return r;
}

const zx::ReportLabels labels{[](int n) { return "Label " + std::to_string(n); }};

std::string contentOf(int candidate)
{
    const std::string settings =
        "<version>1</version><testName>Benchmark</testName><ExaminerName>Ann</ExaminerName>"
        "<shouldUserEnterDetails>1</shouldUserEnterDetails><userEntryLabel1>Name</userEntryLabel1><userDetails1>Candidate "
        + std::to_string(candidate) + "</userDetails1><userEntryLabel2>Class</userEntryLabel2><userDetails2>7b</userDetails2>"
        "<testStartDate>20261206140000</testStartDate><testEndDate>20261206143005</testEndDate>"
        "<showResults>1</showResults><showResultsSummary>1</showResultsSummary>"
        "<zxCategories><zxCategory>Algebra</zxCategory><zxCategory>Set 0</zxCategory><zxCategory>Set 1</zxCategory>"
        "<zxCategory>Set 2</zxCategory></zxCategories>";
    std::string list;
    for (int q = 0; q < questionCount; ++q)
        list += el("questionFile" + std::to_string(q), record(candidate, q)) + "\r\n";
    const zx::FinishedTest finished = zx::finishTest(settings, list, questionCount - 1, labels);
    zx::ResultsFileContent content;
    content.detailedRtf = zx::writeRtf(finished.detailed);
    content.summaryRtf = zx::writeRtf(finished.summary);
    content.bankPathAbs = "/home/teacher/banks/benchmark.zxb";
    content.bankPathRel = "../banks/benchmark.zxb";
    content.testSettings = settings;
    content.questionList = list;
    return zx::buildResultsContent(content);
}

class ResultsFolder {
public:
    ResultsFolder()
    {
        if (const char* kept = std::getenv("ZX_RESULTS_BENCH_DIR"); kept && *kept) {
            m_path = kept;
            m_keep = true;
        } else {
            std::random_device seed;
            m_path = fs::temp_directory_path() / ("zx-bench-results-" + std::to_string(seed()));
        }
        fs::create_directories(m_path);
        for (int c = 0, n = fileCount(); c < n; ++c) {
            const std::string name = (m_path / ("r" + std::to_string(100000 + c) + ".zxr")).string();
            zx::writeStoredFile(contentOf(c), name);
            m_bytes += fs::file_size(name);
        }
    }
    ~ResultsFolder()
    {
        std::error_code ec;
        if (!m_keep)
            fs::remove_all(m_path, ec);
    }
    std::string path() const { return m_path.string(); }
    double megabytes() const { return static_cast<double>(m_bytes) / 1e6; }

private:
    fs::path m_path;
    bool m_keep = false;
    std::uintmax_t m_bytes = 0;
};

const ResultsFolder& folder()
{
    static const ResultsFolder made;
    return made;
}

// Seconds to read every file's bytes once in 64 KB blocks, as cat does
// (best of five).
double catSeconds(const std::vector<std::string>& files)
{
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        std::size_t total = 0;
        std::vector<char> buffer(1 << 16);
        for (const std::string& file : files) {
            std::ifstream in(file, std::ios::binary);
            while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
                total += static_cast<std::size_t>(in.gcount());
        }
        benchmark::DoNotOptimize(total);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void BM_ResultsTableOfFolder(benchmark::State& state)
{
    const std::string dir = folder().path();
    const double cat = catSeconds(zx::collectResultsFiles({dir}).files);
    double spent = 0;
    std::size_t csvBytes = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        zx::ResultsTable table;
        for (const std::string& file : zx::collectResultsFiles({dir}).files) {
            const zx::ResultsFileRead read = zx::readResultsFile(file);
            if (read.ok())
                table.add(zx::makeResultsRow(file, read.content));
        }
        const std::string csv = table.write(zx::TableFormat::Csv);
        spent += std::chrono::duration<double>(Clock::now() - start).count();
        csvBytes = csv.size();
        benchmark::DoNotOptimize(csv.data());
    }
    state.counters["files"] = fileCount();
    state.counters["filesMB"] = folder().megabytes();
    state.counters["csvKB"] = static_cast<double>(csvBytes) / 1e3;
    state.counters["catMs"] = cat * 1e3;
    state.counters["catRatio"] = spent / static_cast<double>(state.iterations()) / cat;
}
BENCHMARK(BM_ResultsTableOfFolder)->Unit(benchmark::kMillisecond);

} // namespace
