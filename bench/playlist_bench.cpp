#include "playback/playlist.h"
#include "scratch_folder.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QVector>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

using zuv::bench::ScratchFolder;

namespace {

constexpr int kItemCount = 10000;

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

// The reference: the same file read and written with plain Qt (QFile, QString, QSaveFile), the
// four texts of an item kept as QStrings.
struct QtItem
{
    QString caption;
    QString subtitleName;
    QString mediaPath;
    QString subtitlePath;
};

QString QtFileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void BM_LoadPlaylistQtReference(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("playlist.txt");
    if (!MakePlaylist().SaveFile(path).ok()) {
        state.SkipWithError("cannot write the playlist");
        return;
    }
    const QString qtPath = QString::fromStdString(path);
    for (auto _ : state) {
        QFile file(qtPath);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the playlist");
            return;
        }
        const QString text = QString::fromUtf8(file.readAll());
        QVector<QtItem> items;
        for (const QStringView line : QStringView(text).split(u"\r\n", Qt::SkipEmptyParts)) {
            const qsizetype bar = line.indexOf(QLatin1Char('|'));
            QtItem item;
            item.mediaPath = line.left(bar < 0 ? 0 : bar).toString();
            item.subtitlePath = line.mid(bar + 1).toString();
            item.caption = QtFileNamePart(item.mediaPath);
            item.subtitleName = QtFileNamePart(item.subtitlePath);
            items.append(std::move(item));
        }
        if (items.size() != kItemCount) {
            state.SkipWithError("wrong item count");
            return;
        }
        benchmark::DoNotOptimize(items);
    }
    state.SetItemsProcessed(state.iterations() * kItemCount);
}
BENCHMARK(BM_LoadPlaylistQtReference)->Unit(benchmark::kMillisecond);

void BM_SavePlaylistQtReference(benchmark::State& state)
{
    ScratchFolder folder;
    const QString qtPath = QString::fromStdString(folder.File("playlist.txt"));
    const zuv::Playlist playlist = MakePlaylist();
    QVector<QtItem> items;
    for (const zuv::PlaylistItem& item : playlist.Items())
        items.append(
            {QString::fromStdString(item.caption), QString::fromStdString(item.subtitleName),
             QString::fromStdString(item.mediaPath), QString::fromStdString(item.subtitlePath)});
    for (auto _ : state) {
        QString text;
        for (const QtItem& item : items)
            text += item.mediaPath + QLatin1Char('|') + item.subtitlePath + QLatin1String("\r\n");
        QSaveFile file(qtPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
            state.SkipWithError("cannot write the playlist");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kItemCount);
}
BENCHMARK(BM_SavePlaylistQtReference)->Unit(benchmark::kMillisecond);

} // namespace
