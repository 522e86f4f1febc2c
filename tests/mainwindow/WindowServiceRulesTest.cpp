// The portable rules of the main window's small services: the error
// policy, the clipboard texts of the "als Text" commands and the archive
// list's question and titles.

#include "framework/InputErrors.h"
#include "mainwindow/ArchiveListTexts.h"
#include "mainwindow/ErrorPolicy.h"
#include "mainwindow/PathTexts.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

TEST(ErrorPolicy, CountsShownErrorsAndAsksFromTheTwentyFirst)
{
    TErrorCounter counter;
    EXPECT_FALSE(counter.Take(TExceptionKind::Other, false).Show) << "not reporting before the window exists";
    counter.SetReporting(true);
    for (int i = 1; i <= 20; ++i) {
        const TExceptionDecision d = counter.Take(TExceptionKind::Other, false);
        EXPECT_TRUE(d.Show);
        EXPECT_FALSE(d.AskQuit) << i;
    }
    for (const TExceptionKind kind :
         {TExceptionKind::InvalidFileName, TExceptionKind::DragDrop, TExceptionKind::InvalidDirName}) {
        const TExceptionDecision d = counter.Take(kind, false);
        EXPECT_TRUE(d.Show);
        EXPECT_FALSE(d.AskQuit);
    }
    EXPECT_FALSE(counter.Take(TExceptionKind::OleSystem, false).Show);
    EXPECT_FALSE(counter.Take(TExceptionKind::Other, true).Show) << "nothing while the program ends";
    EXPECT_EQ(counter.Count(), 20u);
    EXPECT_TRUE(counter.Take(TExceptionKind::Other, false).AskQuit);
    EXPECT_EQ(counter.Count(), 21u);
    EXPECT_EQ(QuitQuestionText(21), L"Es sind bisher 21 Fehler aufgetreten. Soll das Programm jetzt beendet werden?");
}

TEST(ErrorPolicy, KindsByClass)
{
    EXPECT_EQ(ExceptionKindOf(EInvalidFileName(L"x")), TExceptionKind::InvalidFileName);
    EXPECT_EQ(ExceptionKindOf(EDragDrop(L"x")), TExceptionKind::DragDrop);
    EXPECT_EQ(ExceptionKindOf(EInvalidDirName(L"x")), TExceptionKind::InvalidDirName);
    EXPECT_EQ(ExceptionKindOf(EOleSysError(L"x", -1)), TExceptionKind::OleSystem);
    EXPECT_EQ(ExceptionKindOf(EConvertError(L"x")), TExceptionKind::Other);
    EXPECT_EQ(ExceptionKindOf(std::runtime_error("x")), TExceptionKind::Other);
}

TEST(ErrorPolicy, FolderErrorsShown)
{
    struct Case {
        uint32_t code;
        const wchar_t* path;
        bool authority, ready, shown;
    } cases[] = {
        {5, L"C:\\x", false, true, false},  {5, L"C:\\x", true, true, true},  {2, L"C:\\x", false, true, true},
        {2, L"C:\\x", false, false, false}, {0, L"C:\\x", true, true, false}, {3, L"", true, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportsAccessError(c.code, c.path, c.authority, c.ready), c.shown) << c.code;
    EXPECT_EQ(AccessErrorText(L"C:\\x", L"Zugriff verweigert"),
              L"Auf \"C:\\x\" kann nicht zugegriffen werden:\n\nZugriff verweigert");
    EXPECT_EQ(DriveOfPath(L"d:\\a"), L'D');
    EXPECT_EQ(DriveOfPath(L"\\\\server\\share"), L'\\');
    EXPECT_EQ(DriveOfPath(L"relativ"), 0);
}

TEST(PathTexts, TextPerCommand)
{
    TPathTextSource source{L"C:\\Langer Ordner\\Ein Bericht.txt", L"Ein Bericht.txt", L"C:\\Langer Ordner"};
    const auto shortOf = [](const std::wstring& path) -> std::wstring {
        if (path == L"C:\\Langer Ordner\\Ein Bericht.txt")
            return L"C:\\LANGER~1\\EINBER~1.TXT";
        if (path == L"C:\\Langer Ordner")
            return L"C:\\LANGER~1";
        return {};
    };
    using K = TPathTextKind;
    EXPECT_EQ(PathTextFor(K::FilePath, source, shortOf), L"C:\\Langer Ordner\\Ein Bericht.txt");
    EXPECT_EQ(PathTextFor(K::FilePathShort, source, shortOf), L"C:\\LANGER~1\\EINBER~1.TXT");
    EXPECT_EQ(PathTextFor(K::FileName, source, shortOf), L"Ein Bericht.txt");
    EXPECT_EQ(PathTextFor(K::FileNameShort, source, shortOf), L"EINBER~1.TXT") << "the short name, not the path";
    EXPECT_EQ(PathTextFor(K::DirPath, source, shortOf), L"C:\\Langer Ordner");
    EXPECT_EQ(PathTextFor(K::DirPathShort, source, shortOf), L"C:\\LANGER~1");

    // Missing item or node, or no short form: nothing.
    EXPECT_FALSE(PathTextFor(K::FilePath, TPathTextSource{}, shortOf));
    EXPECT_FALSE(PathTextFor(K::FileName, TPathTextSource{L"", L"x", L""}, shortOf));
    EXPECT_FALSE(PathTextFor(K::DirPath, TPathTextSource{L"C:\\a", L"a", L""}, shortOf));
    source.ItemPath = L"C:\\anderswo";
    EXPECT_FALSE(PathTextFor(K::FileNameShort, source, shortOf));
    EXPECT_TRUE(PathTextNeedsItem(K::FileNameShort));
    EXPECT_FALSE(PathTextNeedsItem(K::DirPathShort));
    EXPECT_EQ(CopiedAsTextMessage(L"C:\\a"), L"\"C:\\a\" wurde als Text in die Zwischenablage gestellt.");
}

TEST(ArchiveListTexts, QuestionAndTitles)
{
    EXPECT_EQ(ArchiveDeleteQuestion(1), L"1 Datei aus dem Archiv löschen?");
    EXPECT_EQ(ArchiveDeleteQuestion(3), L"3 Dateien aus dem Archiv löschen?");
    EXPECT_FALSE(AsksArchiveDelete(false, false));
    EXPECT_TRUE(AsksArchiveDelete(false, true));
    EXPECT_EQ(ArchiveProgressTitle(1), L"Dateien entpacken");
    EXPECT_EQ(ArchiveProgressTitle(2), L"Dateien hinzufügen");
    EXPECT_EQ(ArchiveProgressTitle(3), L"Archiv testen");
    EXPECT_EQ(ArchiveProgressTitle(0), L"Archivoperation");
    EXPECT_FALSE(ShowsArchiveProgress(1));
    EXPECT_TRUE(ShowsArchiveProgress(2));
}

}  // namespace
}  // namespace qrv
