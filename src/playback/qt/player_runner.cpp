#include "playback/qt/player_runner.h"

#include "platform/system_error.h"
#include "platform/zuvora_error.h"

namespace zuv {

PlayerRunner::PlayerRunner(QObject* parent) : QObject(parent) {}

PlayerRunner::~PlayerRunner()
{
    // The worker may be waiting for a hand-over that this thread will never run now; the run's
    // destructor releases it before it waits for the worker.
    m_run.reset();
}

platform::ProcessStartError PlayerRunner::Start(const std::string& commandLine,
                                                int priorityPosition)
{
    if (m_run)
        return {platform::ProcessStartStep::CreateProcess,
                platform::SystemError(platform::kErrorBusy)};
    TExecThread::Handlers handlers;
    // Tasks die with this object: a run's last tasks may still be queued when it is destroyed.
    handlers.post = [this](std::function<void()> task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    };
    handlers.lines = [this](std::vector<std::string>& lines) { emit LinesReceived(lines); };
    handlers.exited = [this](std::optional<int> exitCode) {
        m_run.reset();
        emit Exited(exitCode.value_or(0), exitCode.has_value());
    };
    TExecThread::StartResult started =
        TExecThread::Start({commandLine, priorityPosition, m_programFolder}, std::move(handlers));
    m_run = std::move(started.run);
    return started.error;
}

void PlayerRunner::Stop()
{
    if (m_run)
        m_run->Stop();
}

} // namespace zuv
