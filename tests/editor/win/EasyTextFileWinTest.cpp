#include "editor/EasyPersistence.h"
#include "editor/EasyStrings.h"
#include "editor/win/EasyRegistryStore.h"
#include "editor/win/EasyUtilsWin.h"
#include "framework/Encoding.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"

#include "../TextFileRoundTrips.h"
#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::vector<std::u16string> LinesOf(const TEasyStrings& strings)
{
    std::vector<std::u16string> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings[i]);
    return lines;
}

const wchar_t* const kTestKey = L"\\Software\\Quorvan Test\\EasyPersistence";

}  // namespace

TEST(EasyTextFileWin, FilesSavedUnchangedComeBackByteForByte)
{
    ASSERT_EQ(GetACP(), 1252u) << "the table is written for Windows-1252";
    test::TestDir dir;
    for (const test::RoundTrip& c : test::RoundTrips()) {
        SCOPED_TRACE(c.name);
        TEasyStrings strings;
        strings.LoadFromFile(dir.Write(L"in.txt", c.bytes));
        EXPECT_EQ(LinesOf(strings), c.lines);
        EXPECT_EQ(strings.Unicode(), c.unicode);
        strings.SaveToFile(dir.File(L"in.txt"));
        EXPECT_EQ(dir.Read(L"in.txt"), c.bytes);
    }
}

TEST(EasyTextFileWin, UnencodableCharactersAreRefusedNotReplaced)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"alt.txt", "alt\r\n");
    TEasyStrings strings;
    strings.LoadFromFile(file);
    strings.Add(u"\u0141");  // no best-fit "L" either
    try {
        strings.SaveToFile(file);
        ADD_FAILURE() << "saving must refuse U+0141 in the ANSI code page";
    } catch (const EEncodingError& e) {
        EXPECT_EQ(e.Line, 2);
        EXPECT_EQ(e.Column, 1);
    }
    EXPECT_EQ(dir.Read(L"alt.txt"), "alt\r\n");
    strings.Put(1, u"\U0001F600x\u0141");
    try {
        strings.SaveToFile(file);
        ADD_FAILURE();
    } catch (const EEncodingError& e) {
        EXPECT_EQ(e.Column, 1) << "the surrogate pair itself";
    }
}

TEST(EasyTextFileWin, RegistryRoundTripUnderTheCurrentUser)
{
    TEasyStrings saved;
    saved.SetText(u"eins\nzwei €\n");
    SaveToRegistry(saved, kTestKey);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKeyReadOnly(kTestKey));
        EXPECT_EQ(registry.ReadString(L"Strings"), L"eins\r\nzwei €\r\n");
    }
    TEasyStrings loaded;
    LoadFromRegistry(loaded, kTestKey);
    EXPECT_TRUE(loaded.Equals(saved));

    TEasyStrings untouched;
    untouched.SetText(u"bleibt");
    LoadFromRegistry(untouched, L"\\Software\\Quorvan Test\\Fehlt");
    EXPECT_EQ(untouched[0], u"bleibt");

    TRegistry cleanup;
    EXPECT_TRUE(cleanup.DeleteKey(L"\\Software\\Quorvan Test"));
}

TEST(EasyTextFileWin, SystemValues)
{
    const std::wstring temp = TempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_NE(temp.back(), L'\\');
    EXPECT_GT(ScreenPixelsPerInchX(), 0);
    EXPECT_GT(ScreenPixelsPerInchY(), 0);
    EXPECT_EQ(ShiftStateNow() & ssCtrl, 0) << "nobody holds Ctrl in a test";
}
