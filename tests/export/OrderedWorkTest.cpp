// Jobs of uneven length on several workers come out in the order they were queued, taken as
// the command line takes them (the oldest while the queue is full, those done between
// submits, the rest at the end); a job's exception comes out where its bytes would have.

#include "export/OrderedWork.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

namespace varnex {
namespace {

// Some work that takes a while without waiting on a clock: a number folded many times.
std::string Busy(int job, unsigned rounds)
{
    uint64_t value = static_cast<uint64_t>(job);
    for (unsigned i = 0; i < rounds; ++i)
        value = value * 6364136223846793005ull + 1442695040888963407ull;
    return std::to_string(job) + (value == 42 ? "!" : "") + ";";
}

TEST(OrderedWork, HandsOutTheJobsBytesInTheOrderQueued)
{
    for (const uint32_t seed : {20261208u, 1u, 2u}) {
        for (const unsigned workers : {1u, 2u, 5u}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(workers) + " workers");
            std::mt19937 random(seed);
            OrderedWork work(workers);
            std::string expected;
            std::string taken;
            std::string bytes;
            const int jobs = 200;
            for (int job = 0; job < jobs; ++job) {
                while (work.full() && work.next(bytes))
                    taken += bytes;
                const unsigned rounds = random() % 4 == 0 ? 200000 : random() % 2000;
                work.submit([job, rounds](std::string& out) { out += Busy(job, rounds); });
                expected += std::to_string(job) + ";";
                while (work.nextIfDone(bytes))
                    taken += bytes;
            }
            while (work.next(bytes))
                taken += bytes;
            EXPECT_EQ(taken, expected);
            EXPECT_EQ(work.queued(), 0u);
        }
    }
}

// Then it is dropped with long jobs still queued, as a cancelled export drops it: the running
// ones finish, the others never start (the sanitizers watch the bytes they would write).
TEST(OrderedWork, AJobsExceptionComesOutInItsPlace)
{
    OrderedWork work(2);
    for (int job = 0; job < 4; ++job) {
        work.submit([job](std::string& out) {
            if (job == 2)
                throw std::runtime_error("job 2 failed");
            out = std::to_string(job);
        });
    }
    std::string bytes;
    ASSERT_TRUE(work.next(bytes));
    EXPECT_EQ(bytes, "0");
    ASSERT_TRUE(work.next(bytes));
    EXPECT_EQ(bytes, "1");
    EXPECT_THROW(work.next(bytes), std::runtime_error);
    ASSERT_TRUE(work.next(bytes));
    EXPECT_EQ(bytes, "3");
    EXPECT_FALSE(work.next(bytes));
    for (int job = 4; job < 40; ++job)
        work.submit([job](std::string& out) { out = Busy(job, 100000); });
}

}  // namespace
}  // namespace varnex
