#include "framework/IniFiles.h"
#include "framework/FilePath.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

using namespace qrv;

TEST(MemIniFile, RoundTripOfTypedValues)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"settings.ini");
    {
        TMemIniFile ini(file);
        ini.WriteString(L"Window", L"Caption", L"Größe = 5 ");
        ini.WriteInteger(L"Window", L"Left", -120);
        ini.WriteBool(L"Others", L"ShowLogo", false);
        ini.WriteInt64(L"Others", L"Big", 5000000000LL);
        ini.UpdateFile();
    }
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString(L"window", L"CAPTION", L""), L"Größe = 5") << "values are trimmed";
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Left", 0), -120);
    EXPECT_FALSE(ini.ReadBool(L"Others", L"ShowLogo", true));
    EXPECT_EQ(ini.ReadInt64(L"Others", L"Big", 0), 5000000000LL);
    EXPECT_EQ(ini.ReadString(L"Others", L"Missing", L"dflt"), L"dflt");
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Caption", 7), 7) << "text that is no number reads as the default";
    EXPECT_EQ(dir.Read(L"settings.ini").substr(0, 3), "\xEF\xBB\xBF") << "written as UTF-8 with BOM";
}

TEST(MemIniFile, UntouchedSectionsKeysAndCommentsSurviveARewrite)
{
    test::TestDir dir;
    const std::string original = "; written by hand\r\n"
                                 "[Window]\r\n"
                                 "Left=10\r\n"
                                 "Unknown=keep me\r\n"
                                 "\r\n"
                                 "[Foreign]\r\n"
                                 "# another comment\r\n"
                                 "A=1\r\n"
                                 "B=2\r\n";
    const std::wstring file = dir.Write(L"keep.ini", original);
    TMemIniFile ini(file);
    ini.WriteInteger(L"Window", L"Left", 20);
    ini.WriteInteger(L"Window", L"Top", 30);
    ini.WriteString(L"New", L"Key", L"v");
    ini.UpdateFile();

    EXPECT_EQ(dir.Read(L"keep.ini"), "\xEF\xBB\xBF"
                                     "; written by hand\r\n"
                                     "[Window]\r\n"
                                     "Left=20\r\n"
                                     "Unknown=keep me\r\n"
                                     "Top=30\r\n"
                                     "\r\n"
                                     "[Foreign]\r\n"
                                     "# another comment\r\n"
                                     "A=1\r\n"
                                     "B=2\r\n"
                                     "\r\n"
                                     "[New]\r\n"
                                     "Key=v\r\n");
}

TEST(MemIniFile, ReadsUtf16Files)
{
    test::TestDir dir;
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"[Pfad]\r\nZiel=C:\\Ω\r\n")) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    TMemIniFile ini(dir.Write(L"utf16.ini", bytes));
    EXPECT_EQ(ini.ReadString(L"Pfad", L"Ziel", L""), L"C:\\Ω");
}

TEST(MemIniFile, UnmarkedUtf16IsRecognisedByItsZeroBytes)
{
    test::TestDir dir;
    const std::wstring text = L"[Window]\r\nWidth=900\r\nTitel=Übersicht\r\n";
    for (bool bigEndian : {false, true}) {
        std::string bytes;  // no byte-order mark
        for (wchar_t c : text) {
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
            bytes.push_back(bigEndian ? high : low);
            bytes.push_back(bigEndian ? low : high);
        }
        const std::wstring file = dir.Write(bigEndian ? L"be.ini" : L"le.ini", bytes);
        {
            TMemIniFile ini(file);
            EXPECT_EQ(ini.ReadInteger(L"Window", L"Width", 0), 900) << bigEndian;
            EXPECT_EQ(ini.ReadString(L"Window", L"Titel", L""), L"Übersicht") << bigEndian;
            ini.WriteInteger(L"Window", L"Width", 300);
            ini.UpdateFile();
        }
        // Written back as text, never with the NUL bytes carried along.
        const std::string written = dir.Read(bigEndian ? L"be.ini" : L"le.ini");
        EXPECT_EQ(written.find('\0'), std::string::npos) << bigEndian;
        EXPECT_EQ(TMemIniFile(file).ReadInteger(L"Window", L"Width", 0), 300) << bigEndian;
    }
}

TEST(MemIniFile, ASectionNamedTwiceKeepsOneValuePerKey)
{
    test::TestDir dir;
    const std::wstring file =
        dir.Write(L"twice.ini", "[Window]\r\nWidth=900\r\nLeft=5\r\n[Other]\r\nx=1\r\n[window]\r\nWidth=300\r\n");
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadInteger(L"Window", L"Width", 0), 300) << "the last one read wins";
        EXPECT_EQ(ini.ReadInteger(L"Window", L"Left", 0), 5);
        TStringList keys;
        ini.ReadSection(L"Window", keys);
        EXPECT_EQ(keys.Count(), 2);
        ini.WriteInteger(L"Window", L"Left", 6);
        ini.UpdateFile();
    }
    const std::string written = dir.Read(L"twice.ini");
    const size_t first = written.find("Width=");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(written.find("Width=", first + 1), std::string::npos) << written;
    EXPECT_EQ(TMemIniFile(file).ReadInteger(L"Window", L"Width", 0), 300);
    EXPECT_EQ(TMemIniFile(file).ReadInteger(L"Other", L"x", 0), 1);
}

TEST(MemIniFile, MissingFileReadsAsEmpty)
{
    test::TestDir dir;
    TMemIniFile ini(dir.File(L"absent.ini"));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.Count(), 0);
    EXPECT_EQ(ini.ReadString(L"A", L"B", L"default"), L"default");
    EXPECT_FALSE(std::filesystem::exists(FsPath(dir.File(L"absent.ini"))));
}

TEST(MemIniFile, FailedWriteLeavesTheOldFileIntact)
{
    test::TestDir dir;
    const std::string original = "[A]\r\nKey=old\r\n";
    const std::wstring file = dir.Write(L"safe.ini", original);
    // Folders where the temporary file would go make the write fail.
    for (int attempt = 0; attempt < TMemIniFile::kTemporaryNames; ++attempt)
        std::filesystem::create_directory(FsPath(TMemIniFile::TemporaryName(file, attempt)));

    TMemIniFile ini(file);
    ini.WriteString(L"A", L"Key", L"new");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    EXPECT_EQ(dir.Read(L"safe.ini"), original);
    EXPECT_TRUE(ini.Modified()) << "the change is still pending";
}

TEST(MemIniFile, AReadOnlyFileIsReportedAndLeftAlone)
{
    test::TestDir dir;
    const std::string original = "[A]\r\nKey=old\r\n";
    const std::wstring file = dir.Write(L"locked.ini", original);
    namespace fs = std::filesystem;
    fs::permissions(FsPath(file), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    TMemIniFile ini(file);
    ini.WriteString(L"A", L"Key", L"new");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    EXPECT_EQ(dir.Read(L"locked.ini"), original);
    EXPECT_EQ(fs::status(FsPath(file)).permissions() & fs::perms::owner_write, fs::perms::none) << "still read-only";
    EXPECT_FALSE(fs::exists(FsPath(file + L".~tmp")));
    fs::permissions(FsPath(file), fs::perms::owner_write, fs::perm_options::add);  // lets the folder go
}

TEST(MemIniFile, TwoWritersOfOneFileBothSucceed)
{
    // As two instances closing at the same moment: each has its own
    // temporary file, and the file ends up as one of them wrote it.
    test::TestDir dir;
    const std::wstring file = dir.Write(L"shared.ini", "[A]\r\nWriter=none\r\n");
    for (int round = 0; round < 20; ++round) {
        std::string failures[2];
        auto writer = [&](int index, const wchar_t* name) {
            try {
                TMemIniFile ini(file);
                ini.WriteString(L"A", L"Writer", name);
                ini.UpdateFile();
            } catch (const std::exception& error) {
                failures[index] = error.what();
            }
        };
        std::thread first(writer, 0, L"first"), second(writer, 1, L"second");
        first.join();
        second.join();
        EXPECT_EQ(failures[0] + failures[1], "") << "round " << round;
        const std::wstring last = TMemIniFile(file).ReadString(L"A", L"Writer", L"");
        EXPECT_TRUE(last == L"first" || last == L"second") << last;
    }
    for (int attempt = 0; attempt < TMemIniFile::kTemporaryNames; ++attempt)
        EXPECT_FALSE(std::filesystem::exists(FsPath(TMemIniFile::TemporaryName(file, attempt))));
}

TEST(MemIniFile, SectionQueriesAndDeletes)
{
    TMemIniFile ini(L"");
    TStringList lines;
    lines.SetText(L"[One]\r\na=1\r\nb=2\r\n[Two]\r\nc=3\r\n");
    ini.SetStrings(lines);

    TStringList names;
    ini.ReadSections(names);
    EXPECT_EQ(names.Text(), L"One\r\nTwo\r\n");
    ini.ReadSection(L"one", names);
    EXPECT_EQ(names.Text(), L"a\r\nb\r\n");
    ini.ReadSectionValues(L"One", names);
    EXPECT_EQ(names.Values(L"b"), L"2");
    EXPECT_TRUE(ini.ValueExists(L"TWO", L"C"));

    ini.DeleteKey(L"One", L"a");
    EXPECT_FALSE(ini.ValueExists(L"One", L"a"));
    ini.EraseSection(L"two");
    EXPECT_FALSE(ini.SectionExists(L"Two"));
    ini.GetStrings(lines);
    EXPECT_EQ(lines.Text(), L"[One]\r\nb=2\r\n");
}

// A line that is neither a section, a key nor a comment is written back
// with the bytes it was read with, whatever the file's encoding was taken
// to be; settings around it are read and written as text.
TEST(MemIniFile, MalformedLinesKeepTheirBytes)
{
    test::TestDir dir;
    const std::string garbage = "\xFF\xFE\x80 no setting \x81\x9D\xC3";
    const std::string asUtf8Garbage = "\xC3\x28 broken \xE2\x82";
    struct TCase {
        const char* Name;
        std::string Original;
        std::string Kept;  // the malformed line's bytes
    };
    const std::string ansiKey = "k=Gr\xF6\xDF\x65";          // "k=Größe" in Windows-1252
    const std::string utf8Key = "k=Gr\xC3\xB6\xC3\x9F\x65";  // and in UTF-8
    const TCase cases[] = {
        {"ANSI file", "[A]\r\n" + ansiKey + "\r\n" + garbage + "\r\n[B]\r\nx=1\r\n", garbage},
        {"UTF-8 file with a mark", "\xEF\xBB\xBF[A]\r\n" + utf8Key + "\r\n" + asUtf8Garbage + "\r\n[B]\r\nx=1\r\n",
         asUtf8Garbage},
        {"before the first section", "junk " + garbage + "\n[A]\n" + ansiKey + "\n[B]\nx=1\n", "junk " + garbage},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::wstring file = dir.Write(L"bytes.ini", c.Original);
        {
            TMemIniFile ini(file);
            EXPECT_EQ(ini.ReadString(L"A", L"k", L""), L"Größe");
            ini.WriteInteger(L"B", L"y", 2);
            ini.UpdateFile();
        }
        const std::string written = dir.Read(L"bytes.ini");
        EXPECT_NE(written.find(c.Kept + "\r\n"), std::string::npos) << "the malformed line is kept byte for byte";
        EXPECT_NE(written.find(utf8Key + "\r\n"), std::string::npos) << "keys are written as UTF-8";
        TMemIniFile again(file);
        EXPECT_EQ(again.ReadString(L"A", L"k", L""), L"Größe");
        EXPECT_EQ(again.ReadInteger(L"B", L"y", 0), 2);
        again.UpdateFile();
        EXPECT_EQ(dir.Read(L"bytes.ini"), written) << "a second save changes nothing";
    }
}

// In a UTF-8 file the sections the program does not use keep their very
// bytes (blanks, line ends, a key named twice); a section it uses is written
// as settings are, and what was kept reads as before.
TEST(MemIniFile, UntouchedPartsOfAUtf8FileKeepTheirBytes)
{
    test::TestDir dir;
    const std::string head = "; Kommentar\n  [Fremd]  \nA = 1\nA=2\n\tGr\xC3\xB6\xC3\x9F\x65 = ja\r";
    const std::string tail = "[Ende]\nz = letzte Zeile ohne Zeilenende";
    const std::wstring file = dir.Write(L"utf8.ini", head + "[Window]\nLeft = 10\n" + tail);
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadInteger(L"WINDOW", L"left", 0), 10);
        ini.WriteInteger(L"Window", L"Left", 20);
        ini.UpdateFile();
    }
    const std::string written = dir.Read(L"utf8.ini");
    EXPECT_EQ(written, "\xEF\xBB\xBF; Kommentar\n[Fremd]\r\nA = 1\nA=2\n\tGr\xC3\xB6\xC3\x9F\x65 = ja\r"
                       "[Window]\r\nLeft=20\r\n[Ende]\r\nz = letzte Zeile ohne Zeilenende\r\n");
    TMemIniFile again(file);
    EXPECT_EQ(again.ReadInteger(L"Fremd", L"A", 0), 2) << "the value read last";
    EXPECT_EQ(again.ReadString(L"fremd", L"größe", L""), L"ja");
    EXPECT_EQ(again.ReadString(L"Ende", L"z", L""), L"letzte Zeile ohne Zeilenende");
}

// A file of random bytes without a section, a key or a comment is no larger
// after a save than its bytes, the mark and a line end per line: nothing of
// it is re-encoded.
TEST(MemIniFile, RandomBytesAreNotReEncodedOnSave)
{
    test::TestDir dir;
    std::string original(1 << 18, '\0');
    uint32_t state = 12345;
    size_t lineEnds = 0;
    for (char& c : original) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
        if (c == '=' || c == '[' || c == ';' || c == '#')
            c = 'x';
        lineEnds += c == '\r' || c == '\n';
    }
    const std::wstring file = dir.Write(L"random.ini", original);
    TMemIniFile ini(file);
    ini.WriteString(L"Others", L"UpdateLevel", L"460");
    ini.UpdateFile();
    const std::string written = dir.Read(L"random.ini");
    EXPECT_LE(written.size(), original.size() + 3 + lineEnds + 64) << "re-encoded: " << written.size();
}

// Many sections: each is found by its name in any case, a section named
// twice is one, and the file keeps its order through reads, writes and
// deletes.
TEST(MemIniFile, ManySectionsKeepTheirOrderAndAreFoundInAnyCase)
{
    test::TestDir dir;
    std::string original;
    constexpr int kSections = 3000;
    for (int i = 0; i < kSections; ++i)
        original += "[Section" + std::to_string(i) + "]\r\nValue=" + std::to_string(i) + "\r\nOther=x\r\n";
    original += "[section7]\r\nvalue=70\r\nAdded=1\r\n";
    const std::wstring file = dir.Write(L"many.ini", original);
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadInteger(L"SECTION2999", L"VALUE", -1), 2999);
    EXPECT_EQ(ini.ReadInteger(L"Section7", L"Value", -1), 70) << "the value read last";
    EXPECT_EQ(ini.ReadInteger(L"Section7", L"added", -1), 1);
    TStringList names;
    ini.ReadSections(names);
    ASSERT_EQ(names.Count(), kSections);
    EXPECT_EQ(names[0], L"Section0");
    EXPECT_EQ(names[kSections - 1], L"Section2999");

    ini.EraseSection(L"section1");
    ini.DeleteKey(L"Section2", L"value");
    ini.WriteString(L"Section2", L"New", L"n");
    ini.WriteString(L"Section2", L"other", L"y");
    ini.WriteString(L"Neu", L"k", L"v");
    EXPECT_FALSE(ini.SectionExists(L"Section1"));
    EXPECT_FALSE(ini.ValueExists(L"Section2", L"Value"));
    EXPECT_EQ(ini.ReadString(L"section2", L"NEW", L""), L"n");
    EXPECT_EQ(ini.ReadString(L"section2", L"Other", L""), L"y");
    ini.UpdateFile();

    const std::string written = dir.Read(L"many.ini");
    EXPECT_EQ(written.find("[Section1]"), std::string::npos);
    EXPECT_NE(written.find("[Section2]\r\nOther=y\r\nNew=n\r\n[Section3]"), std::string::npos);
    EXPECT_LT(written.find("[Section0]"), written.find("[Section2]"));
    EXPECT_LT(written.find("[Section2998]"), written.find("[Section2999]"));
    EXPECT_GT(written.find("[Neu]\r\nk=v\r\n"), written.find("[Section2999]"));
    TMemIniFile again(file);
    EXPECT_EQ(again.ReadInteger(L"Section1500", L"value", -1), 1500);
    EXPECT_EQ(again.ReadString(L"neu", L"K", L""), L"v");
}

TEST(MemIniFile, HexadecimalIntegers)
{
    TMemIniFile ini(L"");
    ini.WriteString(L"S", L"Hex", L"$1F");
    ini.WriteString(L"S", L"CHex", L"0x10");
    EXPECT_EQ(ini.ReadInteger(L"S", L"Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger(L"S", L"CHex", 0), 16);
}
