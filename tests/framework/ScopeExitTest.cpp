#include "framework/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qrv {
namespace {

TEST(ScopeExit, RunsOnNormalExitAndOnException)
{
    int runs = 0;
    {
        ScopeExit guard([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        ScopeExit guard([&] { ++runs; });
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(runs, 2);
}

TEST(ScopeExit, ReleasedGuardDoesNothing)
{
    int runs = 0;
    {
        ScopeExit guard([&] { ++runs; });
        guard.Release();
    }
    EXPECT_EQ(runs, 0);
}

struct Bracket {
    int depth = 0;
    void Begin() { ++depth; }
    void End() { --depth; }
};

TEST(TUpdateLock, ClosesTheBracketWhenAnExceptionLeaves)
{
    Bracket bracket;
    try {
        TUpdateLock lock(bracket, &Bracket::Begin, &Bracket::End);
        EXPECT_EQ(bracket.depth, 1);
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(bracket.depth, 0);
}

}  // namespace
}  // namespace qrv
