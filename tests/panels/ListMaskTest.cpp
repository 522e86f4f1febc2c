#include "framework/SysUtils.h"
#include "panels/ListMask.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ListMask, NormalizesTheMaskText)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L"*.*"},
        {L"   ", L"*.*"},
        {L"*.TXT", L"*.txt"},
        {L"  *.c *.H ", L"*.c;*.h"},
        {L"*.c, *.h", L"*.c;*.h"},
        {L"*.c;;;*.h", L"*.c;*.h"},
        {L"ÄRGER*.*", L"ärger*.*"},
    };
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(NormalizeListMask(mask), expected) << WideToUtf8(mask);
}
