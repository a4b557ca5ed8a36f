#include "playback/playlist.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kItemCount = 10000;

// A scratch folder for the playlist file, removed at the end.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zuvora-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern + "/";
    }
    ~ScratchFolder() { std::filesystem::remove_all(m_path); }
    std::string File(const char* name) const { return m_path + name; }

private:
    std::string m_path;
};

// Paths as long as a real library gives them; every third item without subtitle.
zuv::Playlist MakePlaylist()
{
    zuv::Playlist playlist;
    for (int i = 0; i < kItemCount; ++i) {
        const std::string base = "/home/anna/Videos/Series " + std::to_string(i / 100) +
                                 "/Season 01/Episode " + std::to_string(i) + " - The Title";
        playlist.AddItem(base + ".mkv", i % 3 == 0 ? std::string() : base + ".hu.srt");
    }
    return playlist;
}

void BM_LoadPlaylist(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("playlist.txt");
    if (!MakePlaylist().SaveFile(path).ok()) {
        state.SkipWithError("cannot write the playlist");
        return;
    }
    for (auto _ : state) {
        zuv::Playlist playlist;
        const zuv::PlaylistFileResult result = playlist.LoadFile(path);
        if (!result.ok() || playlist.Count() != kItemCount) {
            state.SkipWithError("cannot load the playlist");
            return;
        }
        benchmark::DoNotOptimize(playlist);
    }
    state.SetItemsProcessed(state.iterations() * kItemCount);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadPlaylist)->Unit(benchmark::kMillisecond);

// Includes the flush to disk and the rename of the atomic write.
void BM_SavePlaylist(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("playlist.txt");
    const zuv::Playlist playlist = MakePlaylist();
    for (auto _ : state) {
        if (!playlist.SaveFile(path).ok()) {
            state.SkipWithError("cannot write the playlist");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kItemCount);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_SavePlaylist)->Unit(benchmark::kMillisecond);

} // namespace
