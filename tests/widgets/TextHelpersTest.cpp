// The small text helpers of the component library: version texts, command
// lines and file names.

#include "widgets/CommandLineParams.h"
#include "widgets/FileUtil.h"
#include "widgets/VersionText.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

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

TEST(VersionText, MissingPartsComeFromTheNumericVersion)
{
    const unsigned fixed[4] = {3, 2, 0, 117};
    TVersionParts parts = SplitFileVersion(L"3.2");
    FillMissingVersionParts(parts, fixed);
    EXPECT_EQ(parts.Release, L"0");
    EXPECT_EQ(parts.Build, L"117");
    parts = SplitFileVersion(L"3.2.1.9");
    FillMissingVersionParts(parts, fixed);
    EXPECT_EQ(parts.Release, L"1") << "the text's own parts stay";
    EXPECT_EQ(parts.Build, L"9");
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
    const std::wstring longPath = L"C:\\" + std::wstring(297, L'a');
    EXPECT_EQ(CommandLineParam(longPath + L" next", 0), longPath) << "a long path is never cut";
    EXPECT_EQ(CommandLineParam(longPath + L" next", 1), L"next");
    EXPECT_EQ(SplitCommandText(L"").First, L"");
}

TEST(CommandLineParams, SeparatorsAndQuotePairs)
{
    struct Case {
        const wchar_t* line;
        std::vector<std::wstring> params;
    };
    const Case cases[] = {
        {L"a\tb\r\nc", {L"a", L"b", L"c"}},                    // control characters separate
        {L"\"\" \"\"\"\" x", {L"x"}},                          // pairs enclosing nothing are skipped
        {L"\"a\"\"b\"", {L"ab"}},                              // adjacent quoted parts join
        {L"x\"\"y", {L"xy"}},                                  // an empty pair inside a word vanishes
        {L"\"tab\tinside\" z", {L"tab\tinside", L"z"}},        // quotes keep tabs too
        {L"  lead and trail  ", {L"lead", L"and", L"trail"}},  //
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> found;
        for (int i = 0; i < CommandLineParamCount(c.line); ++i)
            found.push_back(CommandLineParam(c.line, i));
        EXPECT_EQ(found, c.params) << c.line;
    }
}

TEST(CommandLineParams, TokensUpToTheNextSeparator)
{
    const std::wstring text = L"a;b,,c";
    size_t position = 0;
    std::vector<std::wstring> tokens;
    while (position < text.size())
        tokens.push_back(ExtractToken(text, position, L";,"));
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"a", L"b", L"", L"c"}));
    EXPECT_EQ(position, text.size());
    EXPECT_EQ(ExtractToken(text, position, L";"), L"") << "at the end";
}

TEST(FileUtil, ValidNamesAndQuotedTexts)
{
    struct Case {
        const wchar_t* name;
        bool valid;
    };
    const Case cases[] = {
        {L"C:\\a b\\c.txt", true},
        {L"Foto [1].jpg", true},  // brackets are legal in names
        {L"C:\\Tools [x86]\\diff.exe", true},
        {L"*.txt", true},  // a mask seeds the dialog's filter
        {L"a?b", true},
        {L"", false},
        {L"a<b", false},
        {L"a>b", false},
        {L"a\"b", false},
        {L"a|b", false},
        {L"a\tb", false},
        {L"a\x1f"
         L"b",
         false},
        {L"\x7f", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidFileName(c.name), c.valid) << c.name;
    EXPECT_EQ(QuotedFileNameText(L"C:\\a b\\c.txt"), L"\"C:\\a b\\c.txt\"");
    EXPECT_EQ(QuotedFileNameText(L"\"C:\\a b\\c.txt\""), L"\"C:\\a b\\c.txt\"");
    EXPECT_EQ(QuotedFileNameText(L"C:\\ab\\c.txt"), L"C:\\ab\\c.txt");
}

TEST(FileUtil, LongAndShortNamesAreWalkedFromTheLastComponentBack)
{
    // A fake file system: short names of the two folders and the file.
    const std::map<std::wstring, std::wstring> shortNames{
        {L"C:\\Program Files", L"PROGRA~1"},
        {L"C:\\Program Files\\Quorvan Free", L"QUORVA~1"},
        {L"C:\\Program Files\\Quorvan Free\\Quorvan32.exe", L"QUORVAN32.EXE"},
        {L"C:\\Windows", L"WINDOWS"},
    };
    std::vector<std::wstring> asked;
    const auto shortName = [&](const std::wstring& upTo) {
        asked.push_back(upTo);
        const auto it = shortNames.find(upTo);
        return it == shortNames.end() ? std::wstring() : it->second;
    };
    EXPECT_EQ(ConvertPathNames(L"C:\\Program Files\\Quorvan Free\\Quorvan32.exe", shortName),
              L"C:\\PROGRA~1\\QUORVA~1\\QUORVAN32.EXE");
    EXPECT_EQ(asked.front(), L"C:\\Program Files\\Quorvan Free\\Quorvan32.exe") << "the last component first";
    EXPECT_EQ(ConvertPathNames(L"C:\\Program Files\\missing.txt", shortName), L"") << "a path that does not exist";
    EXPECT_EQ(ConvertPathNames(L"C:\\Windows\\", shortName), L"C:\\WINDOWS") << "a trailing separator";
    EXPECT_EQ(ConvertPathNames(L"C:", shortName), L"C:");
    EXPECT_EQ(ConvertPathList(L"C:\\Windows;C:\\Program Files", shortName), L"C:\\WINDOWS;C:\\PROGRA~1");
}
