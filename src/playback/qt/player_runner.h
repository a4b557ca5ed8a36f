#pragma once

#include "playback/exec_thread.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

namespace zuv {

// Runs the player for the windows: one TExecThread at a time, whose lines and end arrive as
// signals on the thread that owns this object. The worker waits while LinesReceived is handled,
// so a flooding player is held back by the window instead of filling memory.
class PlayerRunner : public QObject
{
    Q_OBJECT

public:
    explicit PlayerRunner(QObject* parent = nullptr);
    // Stops a player that still runs; Exited is then not emitted.
    ~PlayerRunner() override;

    // Where the player is looked for first and runs; empty (the default): the program folder.
    void SetProgramFolder(std::string folder) { m_programFolder = std::move(folder); }

    // Starts "mplayer ..." at a priority position 0..4. Fails (with the step and the system
    // error code) also while a run is still going on.
    platform::ProcessStartError Start(const std::string& commandLine, int priorityPosition);
    // Ends the running player (it then exits with 255); nothing when none runs.
    void Stop();
    bool IsRunning() const { return m_run != nullptr; }
    int ProcessId() const { return m_run ? m_run->ProcessId() : -1; }

signals:
    // Complete output lines without their line ends, in order.
    void LinesReceived(const std::vector<std::string>& lines);
    // The run has ended and is gone; a new one may start from here. The code is 0 and not read
    // when the system could not tell it.
    void Exited(int exitCode, bool exitCodeRead);

private:
    std::string m_programFolder;
    std::unique_ptr<TExecThread> m_run;
};

} // namespace zuv
