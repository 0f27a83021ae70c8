// The worker pool that makes thumbnails: order, dropping jobs not started, and shutting down.
#include "common/work_pool.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

using State = WorkPool::State;

TEST(WorkPool, OneWorkerRunsJobsInTheOrderGiven)
{
    WorkPool pool(1);
    std::mutex lock;
    std::vector<int> order;
    for (int i = 0; i < 20; ++i) {
        pool.submit([&, i] {
            std::lock_guard<std::mutex> held(lock);
            order.push_back(i);
        });
    }
    pool.waitIdle();
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i)
        expected[i] = i;
    EXPECT_EQ(order, expected);
}

TEST(WorkPool, DroppingLeavesTheRunningJobAndSkipsTheWaitingOnes)
{
    WorkPool pool(1);
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> ran{ 0 };
    auto first = pool.submit([&] {
        started.set_value();
        released.wait();
        ++ran;
    });
    std::vector<std::shared_ptr<const WorkPool::Ticket>> later;
    for (int i = 0; i < 5; ++i)
        later.push_back(pool.submit([&] { ++ran; }));
    started.get_future().wait();
    EXPECT_EQ(first->state(), State::Running);
    EXPECT_EQ(later[0]->state(), State::Waiting);
    pool.dropWaiting();
    release.set_value();
    pool.waitIdle();
    EXPECT_EQ(first->state(), State::Done);
    for (const auto &ticket : later)
        EXPECT_EQ(ticket->state(), State::Dropped);
    EXPECT_EQ(ran.load(), 1);
    // The pool still takes work after a drop.
    auto again = pool.submit([&] { ++ran; });
    pool.waitIdle();
    EXPECT_EQ(again->state(), State::Done);
    EXPECT_EQ(ran.load(), 2);
}

TEST(WorkPool, ClosingWaitsForRunningJobsAndDropsTheRest)
{
    std::atomic<int> ran{ 0 };
    std::shared_ptr<const WorkPool::Ticket> last;
    {
        WorkPool pool(2);
        EXPECT_EQ(pool.threads(), 2u);
        for (int i = 0; i < 200; ++i)
            last = pool.submit([&] { ++ran; });
    }
    // Every job either ran to its end or never started.
    EXPECT_TRUE(last->state() == State::Done || last->state() == State::Dropped);
    EXPECT_LE(ran.load(), 200);
    EXPECT_GE(WorkPool::DefaultThreads(), 1u);
    EXPECT_LE(WorkPool::DefaultThreads(), 4u);
}

} // namespace
