#include "framework/SysUtils.h"
#include "viewers/TextFileKind.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct KindCase {
    const char* name;
    std::wstring fileName;
    std::string bytes;
    TTextFileKind expected;  // Text, RichText, Unicode, LFOnly, Utf8
};

}  // namespace

namespace qrv {
void PrintTo(const TTextFileKind& k, std::ostream* out)
{
    *out << "{Text " << k.Text << ", RichText " << k.RichText << ", Unicode " << k.Unicode << ", LFOnly " << k.LFOnly
         << ", Utf8 " << k.Utf8 << "}";
}
}  // namespace qrv

TEST(TextFileKind, ClassifiesFilesByExtensionAndFirstBytes)
{
    using namespace std::string_literals;
    const std::string printable(2000, 'a');
    const KindCase cases[] = {
        {"empty file", L"leer.txt", "", {true, false, false, true}},
        {"two bytes of anything", L"zwei.dat", "\x01\x02", {true, false, false, true}},
        {"CR LF text", L"dos.txt", "eins\r\nzwei\r\n", {true, false, false, false}},
        {"LF only text", L"unix.txt", "eins\nzwei\n", {true, false, false, true}},
        {"printable, no line end", L"wort.txt", "Hallo Welt", {true, false, false, false}},
        {"high bytes and EOF mark are text", L"ansi.txt", "gr\xfc\xdf\x1a\n", {true, false, false, true}},
        {"CR LF and a zero byte", L"mixed.txt", "a\r\nb\0c"s, {false, false, false, false}},
        {"control byte",
         L"ctrl.txt",
         "abc\x07"
         "def\n",
         {false, false, false, false}},
        {"UTF-16 LE mark",
         L"uni.txt",
         "\xff\xfe"
         "a\0"s,
         {true, false, true, false}},
        {"UTF-16 BE mark", L"unibe.txt", "\xfe\xff\0a"s, {true, false, true, false}},
        {"UTF-8 mark with CR LF", L"utf8.txt", "\xef\xbb\xbfHallo\r\n", {true, false, false, false, true}},
        {"UTF-8 mark with LF only",
         L"utf8lf.txt",
         "\xef\xbb\xbfgr\xc3\xbc\xc3\x9f\n",
         {true, false, false, true, true}},
        {"UTF-8 mark, then a UTF-16 mark",
         L"utf8ff.txt",
         "\xef\xbb\xbf\xff\xfe"
         "a\r\n",
         {true, false, false, false, true}},
        {"UTF-8 mark alone", L"utf8leer.txt", "\xef\xbb\xbf", {true, false, false, true, true}},
        {"tabs with CR LF", L"NOTES", "a\tb\r\nc\td\r\n", {true, false, false, false}},
        {"tabs with LF only", L"NOTES2", "a\tb\nc\td\n", {true, false, false, true}},
        {"rich text, any case", L"doc.rtf", "{\\rtf1\\ansi \x01\x02", {true, true, false, true}},
        {"rich text with CR LF", L"doc2.rtf", "{\\RTF1\\ansi\r\n}", {true, true, false, false}},
        {"six bytes are too few for rich text", L"kurz.rtf", "{\\rtf1", {true, false, false, false}},
        {"only the first 1,024 bytes count", L"lang.txt", printable + "\x01", {true, false, false, false}},
        {"a two-letter extension is read", L"prog.ex", "MZ\x90\0\x03"s, {false, false, false, false}},
        {"an extension that begins with EXE is read", L"daten.exec", "Text\r\n", {true, false, false, false}},
    };
    test::TestDir dir;
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring file = dir.Write(c.fileName, c.bytes);
        EXPECT_EQ(GetTextFileKind(file), c.expected);
        EXPECT_EQ(ClassifyTextSample(c.bytes), c.expected);
    }
}

TEST(TextFileKind, ProgramExtensionsAreNeverRead)
{
    // The files do not exist: a read would raise.
    for (const wchar_t* name :
         {L"x.exe", L"X.DLL", L"a.b.Com", L"ocx.ocx", L"v.vbx", L"d.bin", L"o.obj", L"verknüpfung.lnk"}) {
        SCOPED_TRACE(WideToUtf8(name));
        EXPECT_TRUE(IsBinaryFileExtension(name));
        EXPECT_EQ(GetTextFileKind(name), TTextFileKind{});
    }
    for (const wchar_t* name : {L"a.ex", L"a.exec", L"a.txt", L"exe", L"ordner.exe\\datei", L"a.e"})
        EXPECT_FALSE(IsBinaryFileExtension(name)) << WideToUtf8(name);
}

TEST(TextFileKind, UnreadableFileRaisesInOutError)
{
    test::TestDir dir;
    EXPECT_THROW(GetTextFileKind(dir.File(L"fehlt.txt")), EInOutError);
}

TEST(TextFileKind, OnlySingleByteTextInAWritableFileIsWritable)
{
    const TTextFileKind text = ClassifyTextSample("a\r\n");
    EXPECT_TRUE(TextIsWritable(text, false));
    EXPECT_FALSE(TextIsWritable(text, true));
    EXPECT_FALSE(TextIsWritable(ClassifyTextSample(std::string("MZ\0\x01", 4)), false));
    EXPECT_FALSE(TextIsWritable(ClassifyTextSample("\xef\xbb\xbfx\r\n"), false));
    EXPECT_FALSE(TextIsWritable(ClassifyTextSample(std::string("\xff\xfex\0", 4)), false));
    // A program is not read at all, so it is never writable as text.
    EXPECT_FALSE(TextIsWritable(GetTextFileKind(L"nirgends.exe"), false));
}
