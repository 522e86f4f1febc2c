#include "dialogs/DSAMsg.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {
bool AsciiAlnum(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'ä';
}
}  // namespace

TEST(DSAMsg, IdentifiersKeepLettersAndBlanksEverythingElse)
{
    struct Case {
        const wchar_t* text;
        bool path;
        const wchar_t* expected;
    } cases[] = {
        {L"copy as text", false, L"copy as text"},
        {L"comspec/not found", false, L"comspec not found"},
        {L"  März ä.x ", false, L"März ä x"},
        {L"\\Software\\Quorvan Free\\Dialogs", true, L"\\Software\\Quorvan Free\\Dialogs"},
        {L"\\Software\\Quorvan Free\\Dialogs", false, L"Software Quorvan Free Dialogs"},
        {L"C:\\x.ini", true, L"C:\\x.ini"},
        {L"///", false, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterDSAIdent(c.text, c.path, AsciiAlnum), c.expected) << c.text;
}

TEST(DSAMsg, KeyPathJoinsWithOneBackslash)
{
    EXPECT_EQ(DSAKeyPath(L"\\Software\\Q\\Dialogs", L"copy as text"), L"\\Software\\Q\\Dialogs\\copy as text");
    EXPECT_EQ(DSAKeyPath(L"\\Software\\Q\\", L"x"), L"\\Software\\Q\\x");
}
