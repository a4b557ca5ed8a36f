// zuv.ini as the program reads it at start-up and writes it at exit: every option and the three
// histories of ten entries. The reference is Qt's own ini support (QSettings) with the same keys.
#include "options/config_file.h"
#include "scratch_folder.h"
#include "widgets/history_list.h"

#include <QSettings>
#include <QString>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using zuv::bench::ScratchFolder;

namespace {

constexpr const char* kHistorySections[] = {"Files", "Subtitles", "Parameters"};

std::vector<std::string> HistoryEntries(const char* section)
{
    std::vector<std::string> entries;
    for (int i = 0; i < 10; ++i)
        entries.push_back("/home/anna/Videos/" + std::string(section) + "/Entry number " +
                          std::to_string(i) + " - a long title.mkv");
    return entries;
}

zuv::HistoryPersist Persist(const std::string& path, const char* section)
{
    zuv::HistoryPersist persist;
    persist.key = path;
    persist.section = section;
    return persist;
}

// A configuration as a program run leaves it: every option, three full histories.
bool WriteTypicalConfiguration(const std::string& path)
{
    zuv::ConfigurationFile file = zuv::ConfigurationFile::Load(path);
    zuv::WriteOptions(file.Document(), zuv::Options{});
    for (const char* section : kHistorySections)
        zuv::WriteHistory(file.Document(), Persist(path, section), HistoryEntries(section));
    return !file.Write();
}

void BM_ConfigLoad(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("zuv.ini");
    if (!WriteTypicalConfiguration(path)) {
        state.SkipWithError("cannot write zuv.ini");
        return;
    }
    for (auto _ : state) {
        const zuv::ConfigurationFile file = zuv::ConfigurationFile::Load(path);
        benchmark::DoNotOptimize(zuv::ReadOptions(file.Document()));
        for (const char* section : kHistorySections)
            benchmark::DoNotOptimize(zuv::ReadHistory(file.Document(), section));
    }
}
BENCHMARK(BM_ConfigLoad)->Unit(benchmark::kMicrosecond);

// Includes the flush to disk and the rename of the atomic write.
void BM_ConfigSave(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("zuv.ini");
    if (!WriteTypicalConfiguration(path)) {
        state.SkipWithError("cannot write zuv.ini");
        return;
    }
    zuv::ConfigurationFile file = zuv::ConfigurationFile::Load(path);
    const zuv::Options options;
    for (auto _ : state) {
        zuv::WriteOptions(file.Document(), options);
        for (const char* section : kHistorySections)
            zuv::WriteHistory(file.Document(), Persist(path, section), HistoryEntries(section));
        if (file.Write()) {
            state.SkipWithError("cannot write zuv.ini");
            return;
        }
    }
}
BENCHMARK(BM_ConfigSave)->Unit(benchmark::kMicrosecond);

// The same file through QSettings: open and read every key.
void BM_ConfigLoadQtReference(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("zuv.ini");
    if (!WriteTypicalConfiguration(path)) {
        state.SkipWithError("cannot write zuv.ini");
        return;
    }
    const QString qtPath = QString::fromStdString(path);
    for (auto _ : state) {
        const QSettings settings(qtPath, QSettings::IniFormat);
        for (const QString& key : settings.allKeys())
            benchmark::DoNotOptimize(settings.value(key));
    }
}
BENCHMARK(BM_ConfigLoadQtReference)->Unit(benchmark::kMicrosecond);

// QSettings writing the same keys and values; sync() writes the file.
void BM_ConfigSaveQtReference(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.File("zuv.ini");
    if (!WriteTypicalConfiguration(path)) {
        state.SkipWithError("cannot write zuv.ini");
        return;
    }
    std::vector<std::pair<QString, QString>> values;
    {
        const QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
        for (const QString& key : settings.allKeys())
            values.emplace_back(key, settings.value(key).toString());
    }
    const QString qtPath = QString::fromStdString(folder.File("qt.ini"));
    QSettings settings(qtPath, QSettings::IniFormat);
    int round = 0;
    for (auto _ : state) {
        // A changed value each round, so that every sync writes the file.
        for (const auto& [key, value] : values)
            settings.setValue(key, value);
        settings.setValue(QStringLiteral("Main/Round"), ++round);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            state.SkipWithError("QSettings cannot write");
            return;
        }
    }
}
BENCHMARK(BM_ConfigSaveQtReference)->Unit(benchmark::kMicrosecond);

} // namespace
