#include "playback/qt/playback_control.h"

#include "platform/screen_saver.h"
#include "playback/qt/player_runner.h"

#include <QGuiApplication>
#include <QScreen>

namespace zuv {

PlaybackControl::PlaybackControl(PlaybackHost& host, QObject* parent)
    : QObject(parent), m_runner(new PlayerRunner(this)),
      m_screenSaver(std::make_unique<platform::ScreenSaverInhibitor>()), m_sequence(host, *this)
{
    connect(m_runner, &PlayerRunner::Exited, this, [this](int exitCode, bool exitCodeRead) {
        m_sequence.PlayerExited(exitCodeRead ? std::optional<int>(exitCode) : std::nullopt);
    });
}

PlaybackControl::~PlaybackControl()
{
    // A player still running is stopped here, while the sequence it would report to still exists
    // (its end is then not reported).
    delete m_runner;
}

bool PlaybackControl::ScreenSaverInhibited() const
{
    return m_screenSaver->Inhibited();
}

platform::ProcessStartError PlaybackControl::StartPlayer(const std::string& commandLine,
                                                         int priorityPosition)
{
    return m_runner->Start(commandLine, priorityPosition);
}

void PlaybackControl::StopPlayer()
{
    m_runner->Stop();
}

void PlaybackControl::KeepScreenSaverAway(bool on)
{
    if (on)
        m_screenSaver->Inhibit();
    else
        m_screenSaver->Release();
}

ScreenSize PlaybackControl::CurrentScreenSize() const
{
    if (m_screenSize)
        return *m_screenSize;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    return {size.width(), size.height()};
}

} // namespace zuv
