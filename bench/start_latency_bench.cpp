// From Start in the main window to a running player: the time until the player process exists
// (Start has returned) and until its first output line has reached the user-interface thread,
// with a fake player, without and with the size probe that pan-scan needs.
#include "app/qt/main_form.h"
#include "app/qt/program_session.h"
#include "lang/language.h"
#include "platform/folders.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/player_runner.h"
#include "settings/qt/settings_form.h"
#include "widgets/qt/dialogs.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 50;

// Answers the version question and the size probe, prints one line when it plays.
constexpr char kFakePlayer[] = R"(#!/bin/sh
if [ "$1" = "-list-options" ]; then echo "MPlayer BENCH-1.0 (C) bench"; exit 1; fi
if [ "$1" = "-frames" ]; then printf 'ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\n'; exit 0; fi
echo playing
exit 0
)";

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

struct Figures
{
    std::vector<double> spawned;
    std::vector<double> firstLine;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Figures Measure(zuv::TZUVMainForm& form)
{
    Figures figures;
    zuv::PlaybackControl* playback = form.Playback();
    Clock::time_point firstLine;
    QObject::connect(&playback->Runner(), &zuv::PlayerRunner::LinesReceived, &form,
                     [&firstLine](const std::vector<std::string>&) {
                         if (firstLine == Clock::time_point())
                             firstLine = Clock::now();
                     });
    for (int run = 0; run < kRuns; ++run) {
        firstLine = {};
        QEventLoop ended;
        const auto connection = QObject::connect(&playback->Runner(), &zuv::PlayerRunner::Exited,
                                                 &ended, &QEventLoop::quit);
        const Clock::time_point start = Clock::now();
        form.findChild<QAction*>(QStringLiteral("ActionStart"))->trigger();
        const Clock::time_point spawned = Clock::now();
        if (!playback->Playing() || playback->Runner().ProcessId() <= 0) {
            std::fprintf(stderr, "the player did not start\n");
            std::exit(1);
        }
        ended.exec();
        QObject::disconnect(connection);
        figures.spawned.push_back(Milliseconds(spawned - start));
        figures.firstLine.push_back(Milliseconds(firstLine - start));
    }
    return figures;
}

void Print(const char* title, const Figures& figures)
{
    std::printf("%-28s process exists: median %6.2f ms, max %6.2f ms; first line: median "
                "%6.2f ms, max %6.2f ms (%d runs)\n",
                title, Median(figures.spawned),
                *std::max_element(figures.spawned.begin(), figures.spawned.end()),
                Median(figures.firstLine),
                *std::max_element(figures.firstLine.begin(), figures.firstLine.end()), kRuns);
}

} // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string folder = (std::filesystem::temp_directory_path() / "zuvora-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    folder += "/";
    ::setenv("XDG_CONFIG_HOME", (folder + "config").c_str(), 1);
    {
        std::ofstream script(folder + "mplayer");
        script << kFakePlayer;
    }
    ::chmod((folder + "mplayer").c_str(), 0755);

    QApplication application(argc, argv);
    zuv::platform::SetProgramFolderForTesting(folder);
    zuv::Langunit() = zuv::Language(folder + "lang/");
    zuv::MessageBox::SetAutoAnswer(true);
    int result = 0;
    {
        zuv::TZUVMainForm form;
        zuv::ProgramSession session(form);
        session.Startup({});
        form.Playback()->PlayerInfo().Get(); // the start-up question has been answered
        form.Playback()->SetScreenSize(zuv::ScreenSize{1024, 768});
        form.findChild<QComboBox*>(QStringLiteral("comboFile"))
            ->setEditText(QStringLiteral("/bench/film.avi"));

        Print("Start, no probe:", Measure(form));
        form.SettingsForm()->findChild<QCheckBox*>(QStringLiteral("cbPanScan"))->setChecked(true);
        Print("Start, probe (pan-scan):", Measure(form));
        if (!zuv::MessageBox::ShownBoxes().empty())
            result = 2;
    }
    std::filesystem::remove_all(folder);
    return result;
}
