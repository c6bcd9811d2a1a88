#include "core/util/OrderedWorkers.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

namespace gw {
namespace {

// Items are consumed in order until the consumer says stop; an exception on any thread
// ends the run, reaches the caller, and nothing past the failed item is consumed.
TEST(OrderedWorkers, ConsumesInOrderUntilStoppedOrAnExceptionReachesTheCaller) {
    for (unsigned workers : {0u, 1u, 3u}) {
        std::vector<std::int64_t> seen;
        RunOrdered<std::int64_t>(
            1000, workers, [](std::int64_t n, std::int64_t& slot) { slot = n * n; },
            [&](std::int64_t n, const std::int64_t& slot) {
                EXPECT_EQ(slot, n * n);
                seen.push_back(n);
                return n < 499;
            });
        std::vector<std::int64_t> expected(500);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(seen, expected) << workers << " workers";

        std::int64_t consumed = 0;
        const auto throwsIn = [&](std::int64_t badProduce, std::int64_t badConsume) {
            consumed = 0;
            RunOrdered<int>(
                10000, workers,
                [&](std::int64_t n, int&) {
                    if (n == badProduce) throw std::runtime_error("produce");
                },
                [&](std::int64_t n, const int&) {
                    if (n == badConsume) throw std::runtime_error("consume");
                    ++consumed;
                    return true;
                });
        };
        EXPECT_THROW(throwsIn(700, -1), std::runtime_error) << workers << " workers";
        EXPECT_LE(consumed, 700);
        EXPECT_THROW(throwsIn(-1, 300), std::runtime_error) << workers << " workers";
        EXPECT_EQ(consumed, 300);
    }
}

}  // namespace
}  // namespace gw
