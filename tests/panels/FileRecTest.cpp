#include "framework/StringList.h"
#include "framework/SysUtils.h"
#include "panels/DirViewTexts.h"
#include "panels/FileRec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

TEST(FileRecTest, ExtensionIsTheWholeUpperCaseExtension)
{
    EXPECT_EQ(FileExtOf(L"bild.jpeg"), L"JPEG");
    EXPECT_EQ(FileExtOf(L"a.abcdef1"), L"ABCDEF1");
    EXPECT_EQ(FileExtOf(L"archiv.tar.gz"), L"GZ");
    EXPECT_EQ(FileExtOf(L"Makefile"), L"");
    EXPECT_EQ(FileExtOf(L"punkt."), L"");
}

TEST(FileRecTest, DisplayNames)
{
    using enum TFileNameDisplay;
    const struct {
        const wchar_t* name;
        bool directory;
        bool showExt;
        TFileNameDisplay display;
        const wchar_t* shown;
    } cases[] = {
        {L"Brief.TXT", false, true, fndStored, L"Brief.TXT"},
        {L"Brief.TXT", false, false, fndStored, L"Brief"},
        {L"Brief.TXT", false, true, fndCap, L"BRIEF.TXT"},
        {L"Brief.TXT", false, true, fndNoCap, L"brief.txt"},
        {L"mein bericht(alt).TXT", false, true, fndNice, L"Mein Bericht(Alt).txt"},
        {L"Ordner.alt", true, false, fndStored, L"Ordner.alt"},
        {L"archiv.tar.gz", false, false, fndStored, L"archiv.tar"},
        {L".profile", false, false, fndStored, L".profile"},
        {L"Äpfel.txt", false, true, fndCap, L"ÄPFEL.TXT"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeDisplayName(c.name, c.directory, c.showExt, c.display), c.shown) << WideToUtf8(c.name);
}

TEST(FileRecTest, RecycleBinsAreSystemFoldersAtARoot)
{
    TSearchRec bin;
    bin.Name = L"$Reparatur";
    bin.Attr = faDirectory | faSysFile | faHidden;
    EXPECT_FALSE(IsRecycleBinEntry(L"C:", bin)) << "the name must start with RECYCLE";
    bin.Name = L"$Recycle.Bin";  // the newer systems' recycle bin
    EXPECT_TRUE(IsRecycleBinEntry(L"C:", bin));
    bin.Name = L"Recycled";
    EXPECT_TRUE(IsRecycleBinEntry(L"C:", bin));
    EXPECT_FALSE(IsRecycleBinEntry(L"C:\\Daten", bin));
    bin.Attr = faDirectory;
    EXPECT_FALSE(IsRecycleBinEntry(L"C:", bin));
}

TEST(DirViewTextsTest, LanguageAndFormatting)
{
    EXPECT_EQ(FormatText(DirViewTextsFor(kLangGerman).TypeNameFallback, {L"XYZ"}), L"Datei XYZ");
    EXPECT_EQ(FormatText(DirViewTextsFor(kLangFrench).TypeNameFallback, {L"XYZ"}), L"Fichier XYZ");
    EXPECT_EQ(FormatText(DirViewTextsFor(9).TypeNameFallback, {L"XYZ"}), L"File XYZ");
    EXPECT_EQ(FormatText(DirViewTextsFor(kLangGerman).FilesCount, {L"12"}), L"12 Dateien");
    EXPECT_EQ(FormatText(DirViewTextsFor(kLangGerman).OverwriteQuestion, {L"C:\\Ziel", L"a.txt"}),
              L"Das Verzeichnis \"C:\\Ziel\" enthält bereits die Datei \"a.txt\". Soll die vorhandene Datei "
              L"überschrieben werden?");
    EXPECT_EQ(FormatText(L"100% %s", {}), L"100% ") << "a missing argument leaves nothing";
}

TEST(DirViewTextsTest, TheQuestionBeforeOpeningManyFiles)
{
    EXPECT_EQ(OpenManyQuestion(12), L"Das gleichzeitige Öffnen von 12 Dateien kann eventuell eine lange Zeit dauern. "
                                    L"Möchten Sie die markierten Dateien trotzdem öffnen?");
    EXPECT_EQ(kOpenManyWithoutQuestion, 5u);
}

TEST(DirViewTextsTest, NotCachedExtensionsWithProbes)
{
    TStringList list;
    std::vector<std::wstring> probed;
    MakeNotCachedExts(list, [&](const std::wstring& ext) {
        probed.push_back(ext);
        return ext == L".DIB" || ext == L".SNP";
    });
    EXPECT_EQ(probed, (std::vector<std::wstring>{L".BMP", L".DIB", L".CDF", L".MSC", L".SNP"}));
    int index;
    for (const wchar_t* ext : {L".EXE", L".lnk", L".MSG", L".DIB", L".SNP"})
        EXPECT_TRUE(list.Find(ext, index)) << WideToUtf8(ext);
    for (const wchar_t* ext : {L".BMP", L".TXT", L".EX"})
        EXPECT_FALSE(list.Find(ext, index)) << WideToUtf8(ext);
    EXPECT_EQ(list.Count(), 11);
}

TEST(DirViewTextsTest, ExtInListTakesWholeItems)
{
    EXPECT_TRUE(ExtInList(L"exe", L".EXE.LNK.PIF"));
    EXPECT_TRUE(ExtInList(L".PIF", L".EXE.LNK.PIF"));
    EXPECT_FALSE(ExtInList(L"EX", L".EXE.LNK.PIF"));
    EXPECT_FALSE(ExtInList(L"", L".EXE"));
    EXPECT_TRUE(ExtInList(L"JPEG", L".JPG.JPEG"));
    EXPECT_FALSE(ExtInList(L"ABCDEF", L".ABCDEF")) << "at most six characters with the dot";
}

// New folders and files are made only under one plain name in their folder.
TEST(FileRecTest, APlainFileNameStaysInItsFolder)
{
    for (const wchar_t* name : {L"Neues Verzeichnis", L"a.txt", L"...", L".hidden", L"Größe (1)"})
        EXPECT_TRUE(IsPlainFileName(name)) << WideToUtf8(name);
    for (const wchar_t* name :
         {L"", L".", L"..", L"a\\b", L"a/b", L"C:x", L"a*", L"a?", L"a|b", L"\"a\"", L"<a>", L"a\tb"})
        EXPECT_FALSE(IsPlainFileName(name)) << WideToUtf8(name);
}
