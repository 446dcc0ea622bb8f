#include "core/worker_registry.h"

#include <gtest/gtest.h>

#include <thread>

namespace quor::core {
namespace {

TEST(WorkerRegistryTest, CountsWorkersAndRefusesAfterShutdown) {
    WorkerRegistry registry;
    std::atomic<bool> release{false};
    std::atomic<int> ran{0};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(registry.Start([&] {
            while (!release.load() && !registry.ShuttingDown())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ran.fetch_add(1);
        }));
    }
    EXPECT_EQ(registry.Running(), 3);
    EXPECT_FALSE(registry.WaitIdle(std::chrono::milliseconds(20)));
    registry.RequestShutdown();
    EXPECT_TRUE(registry.WaitIdle(std::chrono::seconds(5)));
    EXPECT_EQ(ran.load(), 3);
    EXPECT_FALSE(registry.Start([&] { ran.fetch_add(1); }));
    EXPECT_EQ(ran.load(), 3);
}

}  // namespace
}  // namespace quor::core
