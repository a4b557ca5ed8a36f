#include "lang/language.h"

#include <array>
#include <benchmark/benchmark.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::string ShippedFolder()
{
    return std::string(ZUVORA_SOURCE_DIR) + "/lang/";
}

// What a window asks for when it translates itself: known texts, a few the file lacks.
std::vector<std::pair<std::string, std::string>> Lookups()
{
    const std::array<std::string_view, 12> sections = {
        "Main",      "OpenDialogs",  "Playlist",  "Settings", "Errors", "Shutdown",
        "Equalizer", "ResultWindow", "FileAssoc", "settings", "MAIN",   "Missing"};
    std::vector<std::pair<std::string, std::string>> lookups;
    for (int i = 0; lookups.size() < 1000; ++i) {
        const std::string_view section = sections[static_cast<std::size_t>(i) % sections.size()];
        lookups.emplace_back(std::string(section), std::to_string(100 + (i * 7) % 410));
    }
    return lookups;
}

void BM_GetText1000(benchmark::State& state)
{
    zuv::Language language(ShippedFolder());
    if (!language.LoadLanguage("enu")) {
        state.SkipWithError("enu.lng cannot be read");
        return;
    }
    const auto lookups = Lookups();
    for (auto _ : state) {
        for (const auto& [section, key] : lookups)
            benchmark::DoNotOptimize(
                language.GetText(section, key, "Beépített szöveg\\nkét sorban"));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(lookups.size()));
}
BENCHMARK(BM_GetText1000);

void BM_LoadLanguage(benchmark::State& state)
{
    zuv::Language language(ShippedFolder());
    for (auto _ : state)
        benchmark::DoNotOptimize(language.LoadLanguage("enu"));
}
BENCHMARK(BM_LoadLanguage);

void BM_FillLanguageList(benchmark::State& state)
{
    zuv::Language language(ShippedFolder());
    for (auto _ : state)
        benchmark::DoNotOptimize(language.FillLanguageList());
}
BENCHMARK(BM_FillLanguageList);

} // namespace
