// Speed of one key release's worth of conversion, beside a naive baseline
// that does the same amount of work with strtod and three snprintf calls.
//   build/bench/core_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "mensurel/convert.h"
#include "mensurel/number_text.h"

namespace {

using mensurel::FieldTexts;
using mensurel::UnitField;

const char* const kTexts[] = { "1", "25.4", "0.0005", "-12.7", "123456.789" };

void BM_ConvertFromField(benchmark::State& state)
{
    const auto field = static_cast<UnitField>(state.range(0));
    FieldTexts texts;
    std::size_t i = 0;
    for (auto _ : state) {
        texts[field] = kTexts[i++ % std::size(kTexts)];
        benchmark::DoNotOptimize(mensurel::ConvertFromField(field, texts));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConvertFromField)->ArgName("field")->DenseRange(0, 3); // inchs, mils, mm, ums

// Parse with strtod and render three results with "%.4f": no exact rules,
// no fixed-point rounding, no tidying.
void BM_NaiveBaseline(benchmark::State& state)
{
    FieldTexts texts;
    std::size_t i = 0;
    char buf[3][64];
    for (auto _ : state) {
        texts.mm = kTexts[i++ % std::size(kTexts)];
        const double v = std::strtod(texts.mm.c_str(), nullptr);
        std::snprintf(buf[0], sizeof buf[0], "%.4f", v / 0.0254);
        std::snprintf(buf[1], sizeof buf[1], "%.4f", v / 25.4);
        std::snprintf(buf[2], sizeof buf[2], "%.4f", v * 1000.0);
        texts.mils = buf[0];
        texts.inchs = buf[1];
        texts.ums = buf[2];
        benchmark::DoNotOptimize(texts);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NaiveBaseline);

// A pasted text of up to a megabyte, digits with blanks between them:
// parsing must stay linear in its length.
void BM_ParseLongText(benchmark::State& state)
{
    // "7.777777 7777777 ...": the point goes in as the text is written, so no
    // later insert shifts a megabyte.
    const auto length = static_cast<std::size_t>(state.range(0));
    std::string text;
    text.reserve(length + 1);
    for (std::size_t i = 0; i < length; ++i) {
        if (i == 1) text += '.';
        text += (i % 8 == 7) ? ' ' : '7';
    }
    for (auto _ : state) benchmark::DoNotOptimize(mensurel::ParseVal(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseLongText)->RangeMultiplier(4)->Range(1 << 10, 1 << 20)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
