// Results files worked on by several threads and handed back in file order.
#include "results/core/results_batch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

using namespace zx;

TEST(RunInOrder, DeliversEveryItemOnceInOrderWithinTheWindow)
{
    constexpr std::size_t count = 2000, ahead = 8;
    std::vector<std::size_t> values(count, 0);
    std::atomic<std::size_t> delivered{0};
    std::atomic<std::size_t> farthest{0}; // how far past the next delivery work went
    std::mutex lock;
    std::set<std::thread::id> workers;
    std::vector<std::size_t> order;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> deliveredElsewhere{false};

    runInOrder(
        count, 4,
        [&](std::size_t i) {
            const std::size_t gap = i - delivered.load();
            std::size_t seen = farthest.load();
            while (gap > seen && !farthest.compare_exchange_weak(seen, gap)) {
            }
            values[i] = i * i;
            const std::lock_guard<std::mutex> held(lock);
            workers.insert(std::this_thread::get_id());
        },
        [&](std::size_t i) {
            if (std::this_thread::get_id() != caller)
                deliveredElsewhere = true;
            EXPECT_EQ(values[i], i * i) << i; // its work is done and seen
            order.push_back(i);
            delivered = i + 1;
        },
        ahead);

    ASSERT_EQ(order.size(), count);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(order[i], i);
    EXPECT_LT(farthest.load(), ahead);
    EXPECT_FALSE(deliveredElsewhere);
    EXPECT_GE(workers.size(), 1u);
    EXPECT_EQ(workers.count(caller), 0u); // the caller only delivers
}

TEST(RunInOrder, OneThreadAlternatesAndNothingIsRunForNoItems)
{
    std::string events;
    runInOrder(3, 1, [&](std::size_t i) { events += "w" + std::to_string(i); },
               [&](std::size_t i) { events += "d" + std::to_string(i); });
    EXPECT_EQ(events, "w0d0w1d1w2d2");

    runInOrder(0, 4, [&](std::size_t) { events += "!"; }, [&](std::size_t) { events += "!"; });
    EXPECT_EQ(events, "w0d0w1d1w2d2");
    // A window of 0 still moves on.
    std::size_t done = 0;
    runInOrder(5, 2, [](std::size_t) {}, [&](std::size_t) { ++done; }, 0);
    EXPECT_EQ(done, 5u);
    EXPECT_GE(readerThreads(), 1u);
    EXPECT_LE(readerThreads(), 8u);
}
