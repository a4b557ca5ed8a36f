#include "playback/exec_thread.h"

#include "playback/output_line_splitter.h"
#include "playback/player_launch.h"

#include <condition_variable>
#include <mutex>
#include <system_error>

namespace zuv {

namespace {

// The pipe's own capacity: one read takes whatever the player has written meanwhile.
constexpr std::size_t kReadBlockBytes = 64 * 1024;

} // namespace

struct TExecThread::Shared
{
    Handlers handlers;
    std::mutex mutex;
    std::condition_variable taken;
    bool handing = false;   // lines were posted and are not yet taken
    bool cancelled = false; // the run is being destroyed: no more handlers
};

TExecThread::StartResult TExecThread::Start(const Request& request, Handlers handlers)
{
    auto prepared =
        PreparePlayerLaunch(request.commandLine, PlayerFolderOrDefault(request.programFolder),
                            request.priorityPosition);
    if (auto* error = std::get_if<platform::ProcessStartError>(&prepared))
        return {nullptr, *error};
    auto process = std::make_unique<platform::ChildProcess>();
    if (const platform::ProcessStartError error =
            process->Start(std::get<platform::ProcessLaunch>(prepared));
        error.failed())
        return {nullptr, error};

    auto shared = std::make_shared<Shared>();
    shared->handlers = std::move(handlers);
    std::unique_ptr<TExecThread> run(new TExecThread(std::move(process), std::move(shared)));
    try {
        run->m_worker = std::thread(&TExecThread::Execute, run.get());
    } catch (const std::system_error& failure) {
        run->m_process->Kill();
        return {nullptr, {platform::ProcessStartStep::CreateProcess, failure.code()}};
    }
    return {std::move(run), {}};
}

TExecThread::TExecThread(std::unique_ptr<platform::ChildProcess> process,
                         std::shared_ptr<Shared> shared)
    : m_process(std::move(process)), m_shared(std::move(shared))
{}

TExecThread::~TExecThread()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->cancelled = true;
    }
    m_shared->taken.notify_all();
    m_process->Terminate();
    if (!m_worker.joinable())
        return;
    // Destroyed from a handler run on the worker itself: it touches nothing of ours any more.
    if (m_worker.get_id() == std::this_thread::get_id())
        m_worker.detach();
    else
        m_worker.join();
}

void TExecThread::Stop()
{
    m_process->Terminate();
}

int TExecThread::ProcessId() const
{
    return m_process->ProcessId();
}

void TExecThread::HandOver(std::vector<std::string>& lines)
{
    auto batch = std::make_shared<std::vector<std::string>>(std::move(lines));
    lines.clear();
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->cancelled)
            return;
        m_shared->handing = true;
    }
    m_shared->handlers.post([shared = m_shared, batch] {
        bool cancelled = false;
        {
            std::lock_guard lock(shared->mutex);
            cancelled = shared->cancelled;
        }
        if (!cancelled)
            shared->handlers.lines(*batch);
        {
            std::lock_guard lock(shared->mutex);
            shared->handing = false;
        }
        shared->taken.notify_all();
    });
    std::unique_lock lock(m_shared->mutex);
    m_shared->taken.wait(lock, [this] { return !m_shared->handing || m_shared->cancelled; });
}

void TExecThread::Execute()
{
    std::vector<char> buffer(kReadBlockBytes);
    // A line without end is handed on a read block at a time, so that one hand-over never
    // holds more than the window can lay out at once.
    OutputLineSplitter splitter(kReadBlockBytes);
    std::vector<std::string> lines;
    for (;;) {
        const auto read = m_process->Read(buffer.data(), buffer.size());
        if (read.size == 0)
            break;
        splitter.Feed(std::string_view(buffer.data(), read.size), lines);
        if (!lines.empty())
            HandOver(lines);
    }
    // Unreadable only when the system fails us.
    const std::optional<int> exitCode = m_process->WaitForExit();
    std::shared_ptr<Shared> shared = m_shared;
    shared->handlers.post([shared, exitCode] {
        bool cancelled = false;
        {
            std::lock_guard lock(shared->mutex);
            cancelled = shared->cancelled;
        }
        if (!cancelled)
            shared->handlers.exited(exitCode);
    });
}

std::string StartStepName(platform::ProcessStartStep step)
{
    switch (step) {
    case platform::ProcessStartStep::CreatePipe:
        return "CreatePipe";
    case platform::ProcessStartStep::CreateProcess:
        return "CreateProcess";
    case platform::ProcessStartStep::None:
        break;
    }
    return {};
}

} // namespace zuv
