#include "settings/font_list.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

// What the settings dialog pays for its font list, on the fonts installed on this machine.
void BM_ReadInstalledFonts(benchmark::State& state)
{
    std::vector<std::string> names;
    for (auto _ : state) {
        if (!zuv::ReadInstalledFonts(names, true)) {
            state.SkipWithError("the font configuration cannot be read");
            return;
        }
        benchmark::DoNotOptimize(names.data());
    }
    state.counters["fonts"] = static_cast<double>(names.size());
}
BENCHMARK(BM_ReadInstalledFonts)->Unit(benchmark::kMillisecond)->UseRealTime();

// Choosing a name in the list: the path of the last name (a full walk).
void BM_FontFileFromName(benchmark::State& state)
{
    std::vector<std::string> names;
    if (!zuv::ReadInstalledFonts(names, true) || names.empty()) {
        state.SkipWithError("no TrueType fonts installed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(zuv::FontFileFromName(names.back()));
}
BENCHMARK(BM_FontFileFromName)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
