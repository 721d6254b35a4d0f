// Scrambling and unscrambling throughput beside memcpy of the same bytes.
// The counter "of_memcpy" is our throughput divided by that of memcpy into
// a buffer that already exists; "of_copy" divides by that of copying the
// bytes into a new string, which like unscrambling has to allocate and
// touch fresh memory.  All are measured in the same run.
#include "tagtext/stored_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string makeContent(std::size_t size)
{
    std::mt19937 rng(1);
    std::string text(size, ' ');
    const char* sample = "<zxText><textLeft>120</textLeft><textString>Which city is the capital?</textString>\r\n";
    const std::size_t sampleLength = std::strlen(sample);
    for (std::size_t i = 0; i < size; ++i)
        text[i] = sample[(i + rng() % 3) % sampleLength];
    return text;
}

double memcpySecondsPerByte(std::size_t size)
{
    std::string from(size, 'x');
    std::string to(size, '\0');
    const int rounds = size > (8u << 20) ? 5 : 50;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / (static_cast<double>(rounds) * static_cast<double>(size));
}

double copySecondsPerByte(std::size_t size)
{
    const std::string from(size, 'x');
    const int rounds = size > (8u << 20) ? 5 : 50;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::string to(from);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / (static_cast<double>(rounds) * static_cast<double>(size));
}

template <typename Body>
void runMeasured(benchmark::State& state, std::size_t size, Body body)
{
    const double memcpyRate = memcpySecondsPerByte(size);
    const double copyRate = copySecondsPerByte(size);
    std::int64_t rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
        ++rounds;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double ourRate = elapsed.count() / (static_cast<double>(rounds) * static_cast<double>(size));
    state.SetBytesProcessed(rounds * static_cast<std::int64_t>(size));
    state.counters["of_memcpy"] = memcpyRate / ourRate;
    state.counters["of_copy"] = copyRate / ourRate;
}

void BM_Scramble(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string content = makeContent(size);
    runMeasured(state, size, [&] { benchmark::DoNotOptimize(zx::scrambleText(content, 3)); });
}

void BM_Unscramble(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string stored = zx::scrambleText(makeContent(size), 3);
    runMeasured(state, size, [&] { benchmark::DoNotOptimize(zx::unscrambleText(stored, 3)); });
}

void BM_Memcpy(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    std::string from(size, 'x');
    std::string to(size, '\0');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

} // namespace

BENCHMARK(BM_Memcpy)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scramble)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unscramble)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
