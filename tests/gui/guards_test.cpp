#include "gui/guards.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

TEST(Guards, ReentryGuardRefusesNestedEntryAndRestoresOnThrow)
{
    bool busy = false;
    int runs = 0;
    std::function<void(int)> enter = [&](int depth) {
        gui::ReentryGuard guard(busy);
        if (!guard.entered())
            return;
        ++runs;
        if (depth == 0)
            enter(1); // nested call while busy: refused
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(enter(0), std::runtime_error);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(busy);
    EXPECT_THROW(enter(0), std::runtime_error);
    EXPECT_EQ(runs, 2);
}
