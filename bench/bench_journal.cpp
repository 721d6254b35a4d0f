// What the journal adds to a page change of a big test: 500 questions, a
// 20 MB question list, pages of 40 KB.  Leaving a page stores its answers
// in the list (setTag over the whole list, which the player always did)
// and appends them to the journal's log, flushed to the disk.  One frame
// is 16 ms.  Writing the whole journal happens at the start, on finishing
// and when the log has grown past 8 MB.
#include "tagtext/tagged_text.h"
#include "testrun/core/journal.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

std::string page(int n)
{
    std::string text = "<windowSize>1</windowSize>";
    while (text.size() < 40000)
        text += "<zxField><FieldAnswer1>answer " + std::to_string(n) + "</FieldAnswer1><userAnswer></userAnswer></zxField>\r\n";
    return text;
}

struct BigTest {
    zx::JournalRecord record;
    std::string folder;
    BigTest()
    {
        for (int n = 0; n < 500; ++n)
            record.questionList += "<questionFile" + std::to_string(n) + ">" + page(n) + "</questionFile" + std::to_string(n) + ">";
        record.lastQuestion = 499;
        record.testSettings = "<isExam>0</isExam>";
        folder = (std::filesystem::temp_directory_path() / "zx-bench-journal").string();
        std::filesystem::create_directories(folder);
    }
    ~BigTest() { std::filesystem::remove_all(folder); }
};

std::mt19937 engine(3);
zx::RandomSource seeded() { return [] { return static_cast<std::uint32_t>(engine()); }; }

void BM_PageChangeStoreAndJournal(benchmark::State& state)
{
    BigTest test;
    zx::Journal journal(test.folder, seeded());
    journal.writeBase(test.record);
    std::string list = test.record.questionList;
    const std::string answered = page(7) + "<zxField><userAnswer>mars</userAnswer></zxField>\r\n";
    int n = 0;
    for (auto _ : state) {
        const int question = n++ % 500;
        list = zx::setTag(list, "questionFile" + std::to_string(question), answered);
        journal.appendPage(question, answered, question + 1, "2:30 pm");
        if (journal.logSize() > 8u * 1024 * 1024)
            journal.writeBase(test.record);
    }
    state.counters["list MB"] = static_cast<double>(list.size()) / 1e6;
}
BENCHMARK(BM_PageChangeStoreAndJournal)->Unit(benchmark::kMillisecond);

void BM_JournalAppendOnly(benchmark::State& state)
{
    BigTest test;
    zx::Journal journal(test.folder, seeded());
    journal.writeBase(test.record);
    const std::string answered = page(7);
    for (auto _ : state) {
        journal.appendPage(3, answered, 4, "2:30 pm");
        if (journal.logSize() > 8u * 1024 * 1024)
            journal.writeBase(test.record);
    }
}
BENCHMARK(BM_JournalAppendOnly)->Unit(benchmark::kMillisecond);

void BM_JournalWholeTest(benchmark::State& state)
{
    BigTest test;
    zx::Journal journal(test.folder, seeded());
    for (auto _ : state)
        journal.writeBase(test.record);
    state.counters["MB"] = static_cast<double>(test.record.questionList.size()) / 1e6;
}
BENCHMARK(BM_JournalWholeTest)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_JournalReadWithLog(benchmark::State& state)
{
    BigTest test;
    zx::Journal journal(test.folder, seeded());
    journal.writeBase(test.record);
    for (int i = 0; i < 100; ++i)
        journal.appendPage(i, page(i), i, "2:30 pm");
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.read());
}
BENCHMARK(BM_JournalReadWithLog)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
