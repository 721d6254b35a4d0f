// Opening and starting a big bank: 500 question pages in a 20 MB index.
// Reads the index as the player does (N from the first 500 bytes, then the
// whole section, unscrambled and split), counts the pages and assembles a
// random test of all 500 questions.
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "tools/bankpack/bank_packer.h"
#include "testrun/core/test_assembly.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

namespace {

std::string bigPage(int number)
{
    std::string page = "<windowSize>1</windowSize><bgColour>clWhite</bgColour>";
    int object = 0;
    while (page.size() < 40000) {
        page += "<zxText><feedback>0</feedback><textLeft>" + std::to_string(object * 7 % 700) +
                "</textLeft><zxString>Question " + std::to_string(number) + ", line " + std::to_string(object) +
                "</zxString></zxText>\r\n";
        ++object;
    }
    return page;
}

const std::string& bigBank()
{
    static const std::string path = [] {
        namespace fs = std::filesystem;
        const fs::path dir = fs::temp_directory_path() / ("zxbench-bank-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        zx::BankSources sources;
        sources.settings = "<version>1</version><PresentInRandomOrder>1</PresentInRandomOrder>";
        for (int k = 0; k < 500; ++k)
            sources.questionPages.push_back({"q" + std::to_string(k), bigPage(k)});
        const std::string media = (dir / "pic.bmp").string();
        std::ofstream(media, std::ios::binary) << "BM" << std::string(4096, 'x');
        sources.media.push_back({"pic.bmp", media, 4098});
        const std::string bank = (dir / "big.zxb").string();
        const zx::PackResult result = zx::writeBank(sources, bank);
        if (!result.ok)
            throw std::runtime_error(result.error);
        return bank;
    }();
    return path;
}

void BM_OpenAndStartBigBank(benchmark::State& state)
{
    const std::string& bank = bigBank();
    std::mt19937 engine(1);
    const zx::RandomSource random = [&engine] { return static_cast<std::uint32_t>(engine()); };
    for (auto _ : state) {
        const zx::BankIndexResult index = zx::readBankIndex(bank);
        if (!index.ok())
            state.SkipWithError("bank unreadable");
        benchmark::DoNotOptimize(zx::listPageCount(index.index.preTestFileList));
        benchmark::DoNotOptimize(zx::getTagInt(zx::getTag(index.index.questionFileList, "questionFile0"), "windowSize", 1));
        const std::string settings = zx::setTag(index.index.testList, "testStartDate", "20261207080000");
        const zx::AssembledQuestions test = zx::assembleQuestions(index.index.questionFileList, settings, random);
        benchmark::DoNotOptimize(test.questionList.data());
        state.counters["index_MB"] = static_cast<double>(index.index.length) / 1e6;
        state.counters["questions"] = test.lastQuestion + 1;
    }
}

} // namespace

BENCHMARK(BM_OpenAndStartBigBank)->Unit(benchmark::kMillisecond);
