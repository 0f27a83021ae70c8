#include "common/work_pool.h"

#include <algorithm>

namespace {

constexpr unsigned kMostThreads = 4;

} // namespace

WorkPool::WorkPool(unsigned threads)
{
    const unsigned count = threads > 0 ? threads : DefaultThreads();
    workers.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        workers.emplace_back([this] { work(); });
}

WorkPool::~WorkPool()
{
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    dropWaiting();
    wake.notify_all();
    for (std::thread &worker : workers)
        worker.join();
}

unsigned WorkPool::DefaultThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

std::shared_ptr<const WorkPool::Ticket> WorkPool::submit(std::function<void()> job)
{
    auto ticket = std::make_shared<Ticket>();
    {
        std::lock_guard<std::mutex> held(lock);
        waiting.push_back({ std::move(job), ticket });
    }
    wake.notify_one();
    return ticket;
}

void WorkPool::dropWaiting()
{
    std::deque<Entry> dropped;
    {
        std::lock_guard<std::mutex> held(lock);
        dropped.swap(waiting);
        for (Entry &entry : dropped)
            entry.ticket->current.store(State::Dropped, std::memory_order_release);
    }
    idle.notify_all();
    // The jobs' captures are released here, outside the lock.
}

void WorkPool::waitIdle()
{
    std::unique_lock<std::mutex> held(lock);
    idle.wait(held, [this] { return waiting.empty() && running == 0; });
}

void WorkPool::work()
{
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        wake.wait(held, [this] { return stopping || !waiting.empty(); });
        if (stopping && waiting.empty())
            return;
        Entry entry = std::move(waiting.front());
        waiting.pop_front();
        // Marked under the lock, so that whoever drops the waiting jobs sees it as running.
        entry.ticket->current.store(State::Running, std::memory_order_release);
        ++running;
        held.unlock();
        entry.job();
        entry.ticket->current.store(State::Done, std::memory_order_release);
        entry = Entry{};
        held.lock();
        --running;
        if (waiting.empty() && running == 0)
            idle.notify_all();
    }
}
