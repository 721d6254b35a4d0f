// Reading every page of a big question list: 500 pages, about 20 MB.
// getTag searches the whole list again for each page; NumberedTags scans it
// once.
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int pageCount = 500;

// A page record of about 40 KB: many small object records, full of "<".
std::string makePage(int number)
{
    std::string page = "<windowSize>1</windowSize> <bgColour>clWhite</bgColour> ";
    int object = 0;
    while (page.size() < 40000) {
        page += "<zxText><feedback>0</feedback><TextLayer>6</TextLayer><textLeft>" + std::to_string(object * 7 % 700)
                + "</textLeft><textTop>" + std::to_string(object * 13 % 500)
                + "</textTop><zxFontName>Arial</zxFontName><zxString><zxLine>Question " + std::to_string(number)
                + ", line " + std::to_string(object) + "</zxLine></zxString></zxText>\r\n";
        ++object;
    }
    return page;
}

const std::string& questionList()
{
    static const std::string list = [] {
        std::string text;
        for (int k = 0; k < pageCount; ++k) {
            const std::string key = "questionFile" + std::to_string(k);
            text += "<" + key + ">" + makePage(k) + "</" + key + ">\r\n";
        }
        return text;
    }();
    return list;
}

void BM_ReadPagesWithGetTag(benchmark::State& state)
{
    const std::string& list = questionList();
    for (auto _ : state) {
        std::size_t total = 0;
        for (int k = 0; k < pageCount; ++k)
            total += zx::getTag(list, "questionFile" + std::to_string(k)).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["listMB"] = static_cast<double>(list.size()) / 1e6;
}
BENCHMARK(BM_ReadPagesWithGetTag)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadPagesWithNumberedTags(benchmark::State& state)
{
    const std::string& list = questionList();
    for (auto _ : state) {
        const zx::NumberedTags pages(list, "questionFile", pageCount);
        std::size_t total = 0;
        for (int k = 0; k < pageCount; ++k)
            total += pages.value(k).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["listMB"] = static_cast<double>(list.size()) / 1e6;
}
BENCHMARK(BM_ReadPagesWithNumberedTags)->Unit(benchmark::kMillisecond);

} // namespace
