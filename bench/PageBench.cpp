// Benchmarks of the page's work that grows with its input: splitting free text, generating the
// outgoing list from txtAdditional, and a full load and save of a long argument table. Each is
// paired with what BenchMain.cpp compares it to.

#include "Workloads.h"

#include "common/Tokenizer.h"

#include <benchmark/benchmark.h>

namespace varkel::bench {
namespace {

constexpr std::size_t AdditionalLength = 32000;

// The baseline for generation: the same text copied one code unit at a time into a new text.
void PlainCopy(benchmark::State& state) {
    const Text text = AdditionalText(AdditionalLength);
    for (auto _ : state) {
        Text copy;
        copy.reserve(text.size());
        for (const char16_t unit : text) {
            copy.push_back(unit);
        }
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// For the record only: a block copy of the same text.
void BlockCopy(benchmark::State& state) {
    const Text text = AdditionalText(AdditionalLength);
    for (auto _ : state) {
        Text copy = text;
        benchmark::DoNotOptimize(copy.data());
    }
}

// GetAllArgumentsSafeArray with nothing but the 32,000-character txtAdditional: the tokenizer
// and the outgoing list, into the one-row list a host hands in.
void GenerateAdditional(benchmark::State& state) {
    StartedPage page;
    page->txtAdditional.SetText(AdditionalText(AdditionalLength));
    std::size_t rows = 0;
    for (auto _ : state) {
        auto list = MemoryArgumentList::WithRows(1);
        if (page->GetAllArgumentsSafeArray(list) != 1) {
            state.SkipWithError("generation failed");
            break;
        }
        rows = static_cast<std::size_t>(list.UpperBound(2) + 1);
        benchmark::DoNotOptimize(list);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * AdditionalLength));
}

// LoadDefaults of a table of unknown arguments, then GetAllArgumentsSafeArray of everything
// they became.
void LoadAndGenerate(benchmark::State& state) {
    const auto rows = static_cast<int>(state.range(0));
    StartedPage page;
    auto table = UnknownArguments(rows);
    Text path = u"C:\\Interfaces\\D3";
    for (auto _ : state) {
        auto list = MemoryArgumentList::WithRows(1);
        if (page->LoadDefaults(table, path) != 1 || page->GetAllArgumentsSafeArray(list) != 1 ||
            list.UpperBound(2) + 1 != rows) {
            state.SkipWithError("the round trip lost arguments");
            break;
        }
        benchmark::DoNotOptimize(list);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void Tokenize(benchmark::State& state) {
    const auto tokens = static_cast<int>(state.range(0));
    testing::FakePlatform fake;
    const Text text = TokenText(tokens);
    for (auto _ : state) {
        const auto table = ParseCommmandLineArguments(fake.ports, text, false);
        if (table.LastRow() != tokens) {
            state.SkipWithError("wrong number of rows");
            break;
        }
        benchmark::DoNotOptimize(table.Rows.data());
    }
    state.SetItemsProcessed(state.iterations() * tokens);
}

BENCHMARK(PlainCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BlockCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(GenerateAdditional)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadAndGenerate)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tokenize)->Arg(1000)->Arg(16000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace varkel::bench
