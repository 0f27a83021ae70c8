#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A few worker threads that run jobs in the order they were given, the jobs waiting in one queue.
// The owner may drop the jobs that have not started yet (the pictures they were for scrolled out
// of sight) and learns from each job's ticket whether it still runs. Jobs must not throw.
class WorkPool
{
public:
    // What became of a job.
    enum class State : std::uint8_t {
        Waiting,
        Running,
        Done,
        Dropped
    };

    class Ticket
    {
    public:
        State state() const { return current.load(std::memory_order_acquire); }

    private:
        friend class WorkPool;
        std::atomic<State> current{ State::Waiting };
    };

    // threads 0: DefaultThreads().
    explicit WorkPool(unsigned threads = 0);
    // Drops the waiting jobs and waits for the running ones.
    ~WorkPool();
    WorkPool(const WorkPool &) = delete;
    WorkPool &operator=(const WorkPool &) = delete;

    // One per core, at most 4: decoding more pictures at once than that gains little, and the
    // window's thread needs a core of its own on small machines as much as the workers do.
    static unsigned DefaultThreads();

    unsigned threads() const { return static_cast<unsigned>(workers.size()); }

    // Queues a job behind the waiting ones.
    std::shared_ptr<const Ticket> submit(std::function<void()> job);
    // Drops every job that has not started; their tickets read Dropped.
    void dropWaiting();
    // Waits until no job waits or runs (tests and benchmarks).
    void waitIdle();

private:
    struct Entry
    {
        std::function<void()> job;
        std::shared_ptr<Ticket> ticket;
    };

    void work();

    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Entry> waiting;
    unsigned running = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
};
