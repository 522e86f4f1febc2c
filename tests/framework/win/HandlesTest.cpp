#include "framework/win/Handles.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(TUniqueHandle, ClosesAtScopeExitAndOnReset)
{
    HANDLE raw = nullptr;
    {
        TKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.Get();
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    TKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    raw = event.Get();
    event.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(raw));
    EXPECT_TRUE(IsOpen(event.Get()));
}

TEST(TUniqueHandle, MoveTransfersAndReleaseGivesUp)
{
    TKernelHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = first.Get();
    TKernelHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);

    const HANDLE released = second.Release();
    EXPECT_FALSE(second);
    EXPECT_TRUE(IsOpen(released));
    CloseHandle(released);
}

TEST(TUniqueHandle, FileHandleTreatsInvalidValueAsNone)
{
    TFileHandle missing(CreateFileW(L"T:\\does-not-exist\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Get(), INVALID_HANDLE_VALUE);
}

TEST(TSelectObject, SelectsThePreviousObjectBack)
{
    TOwnDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    TGdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
    {
        TSelectObject keep(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}

}  // namespace
}  // namespace qrv
