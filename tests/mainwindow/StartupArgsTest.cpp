#include "mainwindow/StartupArgs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// The full form of an absolute path as the system gives it: "/" as "\\",
// "." and ".." resolved.
std::wstring FullPath(const std::wstring& path)
{
    std::wstring text = path;
    for (wchar_t& c : text)
        if (c == L'/')
            c = L'\\';
    if (text.size() < 3 || text[1] != L':' || text[2] != L'\\')
        return text;
    std::vector<std::wstring> parts;
    size_t start = 3;
    while (start <= text.size()) {
        size_t end = text.find(L'\\', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring part = text.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring full = text.substr(0, 3);
    for (size_t i = 0; i < parts.size(); ++i)
        full += (i ? L"\\" : L"") + parts[i];
    return full;
}

// A small file system: a few files, folders and drive types.
struct FakeSystem {
    std::set<std::wstring> files{L"C:\\cfg\\x.ini", L"C:\\d\\f.txt", L"x.ini", L"D:\\video.split"};
    std::set<std::wstring> dirs{L"C:\\", L"D:\\", L"D:\\x", L"C:\\d", L"E:\\", L"\\\\srv\\sh"};

    TFileSystemFacts Facts() const
    {
        TFileSystemFacts facts;
        facts.FileExists = [this](const std::wstring& f) { return files.count(f) > 0; };
        facts.DirectoryExists = [this](const std::wstring& d) { return dirs.count(d) > 0; };
        facts.DriveType = [](wchar_t letter) {
            switch (letter) {
            case L'A':
                return int(dtRemovable);
            case L'C':
            case L'D':
                return int(dtFixed);
            case L'E':
                return int(dtCDROM);
            case L'\\':
                return int(dtRemote);
            default:
                return int(dtNoRoot);
            }
        };
        facts.DefaultDrive = L'C';
        facts.FullPath = FullPath;
        return facts;
    }
};

std::vector<std::wstring> Split(const std::wstring& line)
{
    std::vector<std::wstring> args;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(L' ', start);
        if (end == std::wstring::npos)
            end = line.size();
        if (end > start)
            args.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

}  // namespace

TEST(StartupArgs, CommandLines)
{
    FakeSystem system;
    const TFileSystemFacts facts = system.Facts();
    struct Case {
        const wchar_t* line;
        const wchar_t* ini;
        bool showFile;
        const wchar_t* dir1;
        const wchar_t* dir2;
        const wchar_t* startFile;
    } cases[] = {
        {L"/i=x.ini C:\\d", L"x.ini", true, L"C:\\d", L"C:\\", L""},
        {L"/I=C:\\cfg\\x.ini D:\\x", L"C:\\cfg\\x.ini", true, L"D:\\x", L"C:\\", L""},
        {L"/I=missing.ini", L"P:\\prog\\Quorvan32.ini", true, L"C:\\", L"C:\\", L""},
        {L"/N C:\\d\\f.txt", L"P:\\prog\\Quorvan32.ini", false, L"C:\\d", L"C:\\", L"C:\\d\\f.txt"},
        {L"C:\\d\\f.txt /n", L"P:\\prog\\Quorvan32.ini", false, L"C:\\d", L"C:\\", L"C:\\d\\f.txt"},
        {L"C:\\ D:\\x", L"P:\\prog\\Quorvan32.ini", true, L"C:\\", L"D:\\x", L""},
        {L"\\\\srv\\sh", L"P:\\prog\\Quorvan32.ini", true, L"\\\\srv\\sh", L"C:\\", L""},
        {L"D:\\video.split", L"P:\\prog\\Quorvan32.ini", true, L"D:\\", L"C:\\", L"D:\\video.split"},
        {L"", L"P:\\prog\\Quorvan32.ini", true, L"C:\\", L"C:\\", L""},
        // An unusable "/I=" (a missing file, a folder, nothing) falls back
        // to the program folder's file and leaves the folder after it alone.
        {L"/I=missing.ini D:\\x", L"P:\\prog\\Quorvan32.ini", true, L"D:\\x", L"C:\\", L""},
        {L"/I=C:\\d D:\\x", L"P:\\prog\\Quorvan32.ini", true, L"D:\\x", L"C:\\", L""},
        {L"/I= D:\\x", L"P:\\prog\\Quorvan32.ini", true, L"D:\\x", L"C:\\", L""},
        // Command-line folders and files in their full form.
        {L"D:\\x\\..\\x C:\\d\\.", L"P:\\prog\\Quorvan32.ini", true, L"D:\\x", L"C:\\d", L""},
        {L"C:\\deep\\..\\d\\f.txt", L"P:\\prog\\Quorvan32.ini", true, L"C:\\d", L"C:\\", L"C:\\d\\f.txt"},
        {L"D:/x C:/d", L"P:\\prog\\Quorvan32.ini", true, L"D:\\x", L"C:\\d", L""},
        // A relative name or anything else is no folder, as before.
        {L"relative\\..\\x", L"P:\\prog\\Quorvan32.ini", true, L"C:\\", L"C:\\", L""},
        {L"/i=missing.ini /N C:\\d\\f.txt", L"P:\\prog\\Quorvan32.ini", false, L"C:\\d", L"C:\\", L"C:\\d\\f.txt"},
    };
    for (const Case& c : cases) {
        const TCommandLine line =
            EvaluateCommandLine(Split(c.line), L"P:\\prog\\", facts.FileExists, facts.DirectoryExists);
        EXPECT_EQ(line.IniFileName, c.ini) << c.line;
        // Only a folder named by "/I=" is kept, to be named in the message.
        EXPECT_EQ(line.IniFolderGiven, std::wstring(c.line).rfind(L"/I=C:\\d ", 0) == 0 ? L"C:\\d" : L"") << c.line;
        EXPECT_EQ(line.ShowFileOnStart, c.showFile) << c.line;
        const TStartPaths paths = ComputeStartPaths(line, L"", L"", facts);
        EXPECT_EQ(paths.Dir1, c.dir1) << c.line;
        EXPECT_EQ(paths.Dir2, c.dir2) << c.line;
        EXPECT_EQ(paths.StartFileName, c.startFile) << c.line;
    }
}

// "/I=" naming a folder: the message says so, and names the file used
// instead, or the defaults when there is none.
TEST(StartupArgs, TheMessageOfAnUnusableSettingsFile)
{
    EXPECT_EQ(IniFileMessage(L"P:\\prog\\Quorvan32.ini", L"", false),
              L"Die Initialisierungsdatei P:\\prog\\Quorvan32.ini ist nicht vorhanden. Es werden die "
              L"Standardeinstellungen verwendet.");
    EXPECT_EQ(IniFileMessage(L"P:\\prog\\Quorvan32.ini", L"C:\\d", false),
              L"Die angegebene Initialisierungsdatei C:\\d ist ein Verzeichnis. Es werden die Standardeinstellungen "
              L"verwendet.");
    EXPECT_EQ(IniFileMessage(L"P:\\prog\\Quorvan32.ini", L"C:\\d", true),
              L"Die angegebene Initialisierungsdatei C:\\d ist ein Verzeichnis. Es wird die Datei "
              L"P:\\prog\\Quorvan32.ini verwendet.");
}

TEST(StartupArgs, StoredStartDirectories)
{
    FakeSystem system;
    const TFileSystemFacts facts = system.Facts();
    struct Case {
        const wchar_t* stored;
        const wchar_t* start;
    } cases[] = {
        {L"D:\\x", L"D:\\x"},
        {L"c:\\d", L"c:\\d"},              // the drive letter compares without case
        {L"E:\\movies", L"C:\\"},          // CD drive
        {L"A:\\", L"C:\\"},                // removable, and below the first fixed drive
        {L"\\\\srv\\sh", L"\\\\srv\\sh"},  // network
        {L"", L"C:\\"},
        {L"relative", L"C:\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartDirFromSetting(c.stored, facts), c.start) << c.stored;

    // The second list opens only an existing folder.
    const TStartPaths paths = ComputeStartPaths(TCommandLine{}, L"D:\\x", L"D:\\gone", facts);
    EXPECT_EQ(paths.Dir1, L"D:\\x");
    EXPECT_EQ(paths.Dir2, L"C:\\");
}

TEST(StartupArgs, ListFileNamesAreNumberedUntilOneCanBeReserved)
{
    std::set<std::wstring> taken{L"T:\\QRV32.TMP", L"T:\\QRV32(1).TMP"};
    std::vector<std::wstring> tried;
    const std::wstring name = ReserveNumberedName(L"T:\\", L"QRV32", L".TMP", [&](const std::wstring& n) {
        tried.push_back(n);
        return taken.insert(n).second;
    });
    EXPECT_EQ(name, L"T:\\QRV32(2).TMP");
    EXPECT_EQ(tried, (std::vector<std::wstring>{L"T:\\QRV32.TMP", L"T:\\QRV32(1).TMP", L"T:\\QRV32(2).TMP"}));
    EXPECT_EQ(ReserveNumberedName(
                  L"T:\\", L"Q", L".T", [](const std::wstring&) { return false; }, 5),
              L"");
}
