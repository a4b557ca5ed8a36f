#pragma once

#include "playback/mpv_ipc.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

class QSocketNotifier;

namespace zuv {

// The control socket of one mpv run: connects as soon as mpv listens there, asks for the state
// the media controls show and sends their commands. The socket file goes with this object
// (mpv leaves it behind when it is killed).
class MpvControl : public QObject
{
    Q_OBJECT

public:
    explicit MpvControl(std::string socketPath, QObject* parent = nullptr);
    ~MpvControl() override;

    // True while connected and mpv has told its state: the run takes commands.
    bool Ready() const { return m_socket >= 0 && m_conversation.Answered(); }
    const MpvPlayState& State() const { return m_conversation.State(); }

    void SetPause(bool on) { Send(m_conversation.SetPause(on)); }
    void Seek(std::int64_t microseconds, bool absolute)
    {
        Send(m_conversation.Seek(microseconds, absolute));
    }
    void SetVolume(double percent) { Send(m_conversation.SetVolume(percent)); }

signals:
    // Ready, pause, volume or duration changed (the position is read when asked for).
    void Changed();
    // Playback goes on from a new position.
    void Seeked();

private:
    void TryToConnect();
    void ReadLines();
    void Send(const std::string& text);
    void Disconnect();

    std::string m_path;
    int m_socket = -1;
    int m_tries = 0;
    QTimer m_retry;
    std::unique_ptr<QSocketNotifier> m_notifier;
    MpvConversation m_conversation;
    std::string m_buffer;
};

} // namespace zuv
