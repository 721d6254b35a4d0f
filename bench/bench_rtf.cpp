// Writing and reading the rich text of a detailed report of about 1 MB,
// roughly what a 500-question test gives: per question a bold heading, the
// candidate's answer with some accented and non-Windows-1252 characters, a
// score line and an empty line.  Throughput counts the RTF bytes.
#include "results/core/rtf_reader.h"
#include "results/core/rtf_writer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

zx::ReportDocument makeReport(std::size_t rtfSize)
{
    using zx::Alignment;
    const zx::CharFormat heading{"Arial", 12, true, false};
    const zx::CharFormat body{"Arial", 10, false, false};
    const zx::CharFormat answer{"Courier New", 10, false, true};
    zx::ReportDocument report;
    report.paragraphs.push_back({Alignment::Centre, {{"Detailed Results", {"Arial", 16, true, false}}}, {"Arial", 16, true, false}});
    std::size_t estimate = 0;
    for (int question = 1; estimate < rtfSize; ++question) {
        const std::string number = std::to_string(question);
        report.paragraphs.push_back({Alignment::Left, {{"Question " + number + ": Which city lies on the river Seine?", heading}}, heading});
        report.paragraphs.push_back(
            {Alignment::Left,
             {{"Your answer: ", body},
              {"Paris, the caf\xC3\xA9 city \xE2\x80\x94 \xE2\x82\xAC" "12 \xCE\xA9 " + number, answer},
              {" (correct)\tmarked by the rule {exact} \\ case-insensitive", body}},
             body});
        report.paragraphs.push_back({Alignment::Left, {{"Score: 2.00 out of 2.00 (100%), category Geography", body}}, body});
        report.paragraphs.push_back({Alignment::Left, {}, body});
        estimate += 290;
    }
    return report;
}

const zx::ReportDocument& report()
{
    static const zx::ReportDocument document = makeReport(1 << 20);
    return document;
}

void BM_WriteRtf(benchmark::State& state)
{
    const std::size_t size = zx::writeRtf(report()).size();
    for (auto _ : state)
        benchmark::DoNotOptimize(zx::writeRtf(report()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["rtf_bytes"] = static_cast<double>(size);
    state.counters["paragraphs"] = static_cast<double>(report().paragraphs.size());
}

void BM_ReadRtf(benchmark::State& state)
{
    const std::string rtf = zx::writeRtf(report());
    for (auto _ : state)
        benchmark::DoNotOptimize(zx::readRtf(rtf));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}

} // namespace

BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);
