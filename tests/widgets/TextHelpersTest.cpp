// The small text helpers of the component library: version texts, command
// lines and file names.

#include "widgets/CommandLineParams.h"
#include "widgets/FileUtil.h"
#include "widgets/VersionText.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(VersionText, SplitsAtDotsOrCommas)
{
    const std::wstring na = kVersionInfoNotAvailable;
    struct Case {
        const wchar_t* text;
        std::wstring major, minor, release, build;
    };
    const Case cases[] = {
        {L"3.2.0.117", L"3", L"2", L"0", L"117"},
        {L"3, 2, 0, 117", L"3", L" 2", L" 0", L" 117"},
        {L"1.2", L"1", L"2", na, na},
        {L"1.2.3.4.5", L"1", L"2", L"3", L"4.5"},
        {L"1,2.3", L"1,2", L"3", na, na},
        {L"", na, na, na, na},
        {L"117", na, na, na, na},
    };
    for (const Case& c : cases) {
        const TVersionParts parts = SplitFileVersion(c.text);
        EXPECT_EQ(parts.Major, c.major) << c.text;
        EXPECT_EQ(parts.Minor, c.minor) << c.text;
        EXPECT_EQ(parts.Release, c.release) << c.text;
        EXPECT_EQ(parts.Build, c.build) << c.text;
    }
}

TEST(CommandLineParams, QuotesKeepBlanksInsideAParameter)
{
    const std::wstring line = L"\"C:\\Program Files\\x.exe\" -a   \"b c\"d";
    EXPECT_EQ(CommandLineParamCount(line), 3);
    EXPECT_EQ(CommandLineParam(line, 0), L"C:\\Program Files\\x.exe");
    EXPECT_EQ(CommandLineParam(line, 1), L"-a");
    EXPECT_EQ(CommandLineParam(line, 2), L"b cd");
    EXPECT_EQ(CommandLineParam(line, 3), L"");

    const TSplitCommand split = SplitCommandText(line);
    EXPECT_EQ(split.First, L"C:\\Program Files\\x.exe");
    EXPECT_EQ(split.Rest, L"-a \"b cd\"");

    EXPECT_EQ(CommandLineParamCount(L"   \t "), 0);
    EXPECT_EQ(CommandLineParam(L"\"\" x", 0), L"x") << "an empty quote pair is skipped";
    EXPECT_EQ(CommandLineParam(L"\"open end", 0), L"open end");
    EXPECT_EQ(CommandLineParam(std::wstring(300, L'a'), 0).size(), 255u);
    EXPECT_EQ(SplitCommandText(L"").First, L"");
}

TEST(FileUtil, ValidNamesAndQuotedTexts)
{
    EXPECT_TRUE(IsValidFileName(L"C:\\a b\\c.txt"));
    EXPECT_TRUE(IsValidFileName(L"C:\\Tools [x86]\\diff.exe")) << "brackets are legal in names";
    for (const wchar_t* bad : {L"", L"a<b", L"a>b", L"a\"b", L"a|b", L"a?b", L"a*b", L"a\tb"})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    EXPECT_EQ(QuotedFileNameText(L"C:\\a b\\c.txt"), L"\"C:\\a b\\c.txt\"");
    EXPECT_EQ(QuotedFileNameText(L"\"C:\\a b\\c.txt\""), L"\"C:\\a b\\c.txt\"");
    EXPECT_EQ(QuotedFileNameText(L"C:\\ab\\c.txt"), L"C:\\ab\\c.txt");
}
