#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace zuv::test {

// Stands in for the user-interface thread: tasks posted by the worker run here, in order.
class OwnerThread
{
public:
    void Post(std::function<void()> task)
    {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_posted.notify_all();
    }

    // Runs tasks until `done` holds.
    void RunUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(m_mutex);
                m_posted.wait(lock, [this] { return !m_tasks.empty(); });
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    // Runs what is queued now, as a later turn of the event loop would.
    void RunPending()
    {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (auto& task : tasks)
            task();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

} // namespace zuv::test
