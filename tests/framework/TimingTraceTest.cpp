#include "framework/TimingTrace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

// The lines are read by people and by scripts: the time in milliseconds,
// then the step, whatever the size of the number.
TEST(TimingTrace, LinesCarryTheMillisecondsAndTheStep)
{
    const std::chrono::steady_clock::duration cases[] = {0ns, 1500us, 999999ns, 12345678us, 3h};
    for (const auto since : cases) {
        const std::wstring line = FormatTimingLine(since, L"list load T:\\folder");
        ASSERT_EQ(line.rfind(L"timing ", 0), 0u) << line;
        wchar_t* end = nullptr;
        const double ms = std::wcstod(line.c_str() + 7, &end);
        const double expected = std::chrono::duration<double, std::milli>(since).count();
        EXPECT_NEAR(ms, expected, 0.0005) << line;
        EXPECT_EQ(std::wstring(end), L" ms  list load T:\\folder") << line;
    }
}
