// Parsing language files: a realistic one and the largest file loaded.
#include "app/core/language_choice.h"
#include "app/core/language_file.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string realisticFile()
{
    std::string content;
    for (int n = 9; n < 120; ++n)
        content += (n < 100 ? "00" : "0") + std::to_string(n) + " A message of ordinary length, with a second sentence.#r#nAnd a line break.\r\n";
    for (int i = 0; i < 200; ++i)
        content += "Control" + std::to_string(i) + " Hint" + std::to_string(i % 15) + " A hint for the control\r\n";
    return content;
}

std::string largestFile()
{
    std::string content;
    while (content.size() + 40 < zx::maxLanguageFileBytes)
        content += "Control Caption Some caption text here\n0050 x#r#n\n";
    return content;
}

void BM_ParseRealisticLanguageFile(benchmark::State& state)
{
    const std::string content = realisticFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(zx::parseLanguageFile(content));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(content.size()));
}
BENCHMARK(BM_ParseRealisticLanguageFile);

void BM_ParseLargestLanguageFile(benchmark::State& state)
{
    const std::string content = largestFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(zx::parseLanguageFile(content));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(content.size()));
}
BENCHMARK(BM_ParseLargestLanguageFile)->Unit(benchmark::kMillisecond);

} // namespace
