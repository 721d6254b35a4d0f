// Finishing a test: scoring every stored answer and writing both reports.
//   Full:      500 questions, each with 60 choice buttons, 60 fields and 60
//              drag items (the most a record is read for), about 50 MB.
//   Realistic: 500 questions with 10 answer objects and some texts each.
// The counter readRatio compares one finish with reading every record of
// the same list once with NumberedTags.  LiteralElements shows what reading
// each element and deleting it from a copy of the record costs on the full
// records, for a few questions only.
#include "results/core/element_sequence.h"
#include "results/core/finish_test.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int questionCount = 500;

std::string el(const std::string& key, const std::string& value) { return zx::makeElement(key, value); }

std::string button(int q, int k)
{
    return el("zxButton", el("buttonType", std::to_string(k % 2)) + el("userAnswer", std::to_string((q + k) % 3))
                              + el("ButtonName", "Option " + std::to_string(k)) + "<buttonLeft>40</buttonLeft><buttonTop>"
                              + std::to_string(k * 7) + "</buttonTop><ButtonLayer>6</ButtonLayer>"
                              + el("buttonMarkIfSelected", "1") + el("buttonMarkIfNotSelected", "0")
                              + el("buttonMarkIfTrueSelected", "1") + el("buttonMarkIfFalseSelected", "-0.5")
                              + el("buttonMarkIfNoTFSelection", "0") + el("buttonResultsText", "-empty45646-"))
        + "\r\n";
}

std::string field(int q, int k)
{
    return el("zxField", el("editRestriction", std::to_string(k % 3)) + el("userAnswer", "  Answer " + std::to_string(q % 4))
                             + el("FieldName", "Box " + std::to_string(k)) + el("FieldAnswer1", "answer 1")
                             + el("FieldAnswer2", "12") + el("FieldAnswer3", "answer 3") + el("FieldMarkIfCorrect", "2")
                             + el("FieldMarkIfIncorrect", "-1") + el("FieldMarkIfNotSelected", "0")
                             + el("FieldResultsText", "-empty45646-"))
        + "\r\n";
}

std::string drag(int q, int k)
{
    return el("zxDrag", el("userAnswer", std::to_string((q + k) % 5 - 1)) + el("DragName", "Item " + std::to_string(k))
                            + el("targets", "0,Top,1,100,50,120,40;1,Middle,0,100,120,120,40;2,Bottom,-1,100,190,120,40;"
                                            "3,Side,0.5,300,50,50,50;")
                            + el("DragMarkIfNotSelected", "0") + el("DragResultsText", "-empty45646-"))
        + "\r\n";
}

std::string text(int k)
{
    return el("zxText", "<feedback>0</feedback><TextLayer>6</TextLayer><textLeft>10</textLeft><textTop>"
                            + std::to_string(k * 20) + "</textTop><zxFontName>Arial</zxFontName><zxString><zxLine>"
                            "Read the question carefully and choose the best answer.</zxLine></zxString>")
        + "\r\n";
}

std::string makeList(int buttons, int fields, int drags, int texts)
{
    std::string list;
    for (int q = 0; q < questionCount; ++q) {
        std::string record = "<windowSize>1</windowSize><ResultsText>Question text</ResultsText>"
                             "<Categories><cat>Algebra</cat><cat>Set " + std::to_string(q % 3) + "</cat></Categories>";
        for (int k = 0; k < texts; ++k)
            record += text(k);
        for (int k = 0; k < buttons; ++k)
            record += button(q, k);
        for (int k = 0; k < fields; ++k)
            record += field(q, k);
        for (int k = 0; k < drags; ++k)
            record += drag(q, k);
        list += el("questionFile" + std::to_string(q), record) + "\r\n";
    }
    return list;
}

const std::string& fullList()
{
    static const std::string list = makeList(60, 60, 60, 0);
    return list;
}

const std::string& realisticList()
{
    static const std::string list = makeList(4, 3, 3, 5);
    return list;
}

const std::string settings =
    "<testName>Benchmark</testName><ExaminerName>Ann</ExaminerName><VerboseResults>1</VerboseResults>"
    "<showResults>1</showResults><showResultsSummary>1</showResultsSummary>"
    "<zxCategories><zxCategory>Algebra</zxCategory><zxCategory>Set 0</zxCategory><zxCategory>Set 1</zxCategory>"
    "</zxCategories><displayRules><dRule><oEnabled>1</oEnabled><oCat>Algebra</oCat><oType>1</oType><oComp>=></oComp>"
    "<oScore>50</oScore><oText>Well done</oText></dRule></displayRules>";

const zx::ReportLabels labels{[](int n) { return "Label " + std::to_string(n); }};

// Seconds to read every record of the list once (best of five).
double readOnceSeconds(const std::string& list)
{
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        const zx::NumberedTags records(list, "questionFile", questionCount);
        std::size_t total = 0;
        for (int q = 0; q < questionCount; ++q)
            total += records.valueLength(q);
        benchmark::DoNotOptimize(total);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void finishAndCompare(benchmark::State& state, const std::string& list)
{
    const double read = readOnceSeconds(list);
    double spent = 0;
    std::size_t paragraphs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const zx::FinishedTest finished = zx::finishTest(settings, list, questionCount - 1, labels);
        spent += std::chrono::duration<double>(Clock::now() - start).count();
        paragraphs = finished.detailed.paragraphs.size() + finished.summary.paragraphs.size();
        benchmark::DoNotOptimize(finished.score.total);
    }
    state.counters["listMB"] = static_cast<double>(list.size()) / 1e6;
    state.counters["paragraphs"] = static_cast<double>(paragraphs);
    state.counters["readMs"] = read * 1e3;
    state.counters["readRatio"] = spent / static_cast<double>(state.iterations()) / read;
}

void BM_FinishFull(benchmark::State& state) { finishAndCompare(state, fullList()); }
BENCHMARK(BM_FinishFull)->Unit(benchmark::kMillisecond);

void BM_FinishRealistic(benchmark::State& state) { finishAndCompare(state, realisticList()); }
BENCHMARK(BM_FinishRealistic)->Unit(benchmark::kMillisecond);

void BM_ScoreOnlyFull(benchmark::State& state)
{
    const zx::ResultsSettings parsed = zx::ResultsSettings::parse(settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(zx::scoreTest(parsed, fullList(), questionCount - 1).total);
}
BENCHMARK(BM_ScoreOnlyFull)->Unit(benchmark::kMillisecond);

// Each element read with getTag and deleted from a copy of the record with
// deleteTag, for the first 10 full questions.
void BM_LiteralElementsTenFullQuestions(benchmark::State& state)
{
    const zx::NumberedTags records(fullList(), "questionFile", 10);
    for (auto _ : state) {
        std::size_t total = 0;
        for (int q = 0; q < 10; ++q) {
            std::string working(records.valueView(q));
            for (const char* key : {"zxButton", "zxField", "zxDrag"})
                for (int n = 0; n < 60; ++n) {
                    total += zx::getTag(working, key).size();
                    working = zx::deleteTag(working, key);
                }
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_LiteralElementsTenFullQuestions)->Unit(benchmark::kMillisecond);

void BM_ElementSequenceTenFullQuestions(benchmark::State& state)
{
    const zx::NumberedTags records(fullList(), "questionFile", 10);
    for (auto _ : state) {
        std::size_t total = 0;
        for (int q = 0; q < 10; ++q) {
            zx::ElementSequence elements(records.valueView(q));
            for (const char* key : {"zxButton", "zxField", "zxDrag"})
                for (int n = 0; n < 60; ++n)
                    total += elements.take(key).value_or(std::string_view()).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ElementSequenceTenFullQuestions)->Unit(benchmark::kMillisecond);

} // namespace
