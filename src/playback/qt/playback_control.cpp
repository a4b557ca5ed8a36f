#include "playback/qt/playback_control.h"

#include "platform/player_socket.h"
#include "platform/screen_saver.h"
#include "playback/qt/mpv_control.h"
#include "playback/qt/player_runner.h"

#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace zuv {

PlaybackControl::PlaybackControl(PlaybackHost& host, QObject* parent)
    : QObject(parent), m_runner(new PlayerRunner(this)),
      m_screenSaver(std::make_unique<platform::ScreenSaverInhibitor>()), m_sequence(host, *this)
{
    connect(m_runner, &PlayerRunner::Exited, this, [this](int exitCode, bool exitCodeRead) {
        // Before the sequence, which may start the next run with a control of its own.
        EndPlayerControl();
        m_sequence.PlayerExited(exitCodeRead ? std::optional<int>(exitCode) : std::nullopt);
    });
    connect(m_runner, &PlayerRunner::LinesReceived, this,
            [this](const std::vector<std::string>& lines) { m_sequence.PlayerOutput(lines); });
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
    const std::string socket = std::exchange(m_nextControlSocket, std::string());
    const platform::ProcessStartError error = m_runner->Start(commandLine, priorityPosition);
    if (!error.failed() && !socket.empty()) {
        m_playerControl = std::make_unique<MpvControl>(socket);
        connect(m_playerControl.get(), &MpvControl::Changed, this,
                &PlaybackControl::PlayerControlChanged);
        connect(m_playerControl.get(), &MpvControl::Seeked, this, &PlaybackControl::PlayerSeeked);
    }
    return error;
}

std::string PlaybackControl::NewControlSocket()
{
    // A name of its own for every run: a killed mpv leaves its socket behind.
    m_nextControlSocket =
        platform::PlayerSocketPath("zuv-mpv-" + std::to_string(QCoreApplication::applicationPid()) +
                                   '-' + std::to_string(++m_controlSockets));
    return m_nextControlSocket;
}

void PlaybackControl::EndPlayerControl()
{
    if (!m_playerControl)
        return;
    m_playerControl.reset();
    emit PlayerControlChanged();
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
