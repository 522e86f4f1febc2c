// The command records the zip component hands the two libraries: which
// names go as name patterns, the flags its options give, and the texts
// passed or left out.

#include "archives/ZipCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

int32_t QRV_ZIPAPI NoCallback(ZipCallbackData*)
{
    return 0;
}

std::vector<std::string> SpecTexts(const UnzCommand& cmd)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < cmd.SpecCount; ++i)
        names.push_back(cmd.Specs[i].FileSpec);
    return names;
}

std::string Text(const char* text)
{
    return text ? text : "(none)";
}

TEST(ZipCommands, ExtractingPassesNoNamesWhenStarDotStarComesFirst)
{
    struct TCase {
        std::vector<std::wstring> Specs;
        std::vector<std::string> Passed;
    } cases[] = {
        {{L"*.*"}, {}},
        {{L"*.*", L"data.bin"}, {}},
        {{}, {}},
        {{L"data.bin", L"*.*"}, {"data.bin", "*.*"}},
        {{L"text\\Größe.txt", L"*.bin"},
         {"text\\Gr\xC3\xB6\xC3\x9F"
          "e.txt",
          "*.bin"}},
    };
    for (const TCase& c : cases) {
        TUnzSettings settings;
        settings.Specs = c.Specs;
        TUnzCommandRecord command(settings);
        EXPECT_EQ(SpecTexts(command.Record()), c.Passed);
        EXPECT_EQ(command.Record().Specs == nullptr, c.Passed.empty());
    }
}

TEST(ZipCommands, ExtractFlagsFollowTheOptions)
{
    struct TCase {
        const char* What;
        unsigned Options;
        bool Trace, Verbose;
        int32_t Test, Update, Freshen, Directories, Overwrite, TraceFlag, VerboseFlag;
    } cases[] = {
        {"none", 0, false, false, 0, 0, 0, 0, 0, 0, 0},
        {"test", ExtrTest, false, false, -1, 0, 0, 0, 0, 0, 0},
        {"freshen", ExtrFreshen, false, false, 0, 0, -1, 0, 0, 0, 0},
        {"update wins over freshen", ExtrFreshen | ExtrUpdate, false, false, 0, -1, 0, 0, 0, 0, 0},
        {"folders, overwrite", ExtrDirNames | ExtrOverWrite | ExtrForceDirs, false, false, 0, 0, 0, -1, -1, 0, 0},
        {"verbose", 0, false, true, 0, 0, 0, 0, 0, 0, -1},
        {"trace makes verbose", 0, true, false, 0, 0, 0, 0, 0, -1, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TUnzSettings settings;
        settings.ExtrOptions = c.Options;
        settings.Trace = c.Trace;
        settings.Verbose = c.Verbose;
        TUnzCommandRecord command(settings);
        const UnzCommand& cmd = command.Record();
        EXPECT_EQ(cmd.fTest, c.Test);
        EXPECT_EQ(cmd.fUpdate, c.Update);
        EXPECT_EQ(cmd.fFreshen, c.Freshen);
        EXPECT_EQ(cmd.fDirectories, c.Directories);
        EXPECT_EQ(cmd.fOverwrite, c.Overwrite);
        EXPECT_EQ(cmd.fTraceEnabled, c.TraceFlag);
        EXPECT_EQ(cmd.fVerboseEnabled, c.VerboseFlag);
        EXPECT_EQ(cmd.fQuiet, QRV_ZIP_TRUE);
        EXPECT_EQ(cmd.fSeven, QRV_ZIP_RECORD_END);
    }
}

TEST(ZipCommands, ExtractTextsCallerAndWindow)
{
    int caller = 0;
    int window = 0;
    TUnzSettings settings;
    settings.Caller = &caller;
    settings.Callback = NoCallback;
    settings.Version = 173;
    settings.ParentWindow = &window;
    settings.ZipFileName = L"C:\\Ablage\\Über.zip";
    settings.ExtrBaseDir = L"C:\\Ziel";
    settings.Password = L"geheim";
    settings.PasswordReqCount = 3;
    settings.ToStream = true;
    {
        TUnzCommandRecord command(settings);
        const UnzCommand& cmd = command.Record();
        EXPECT_EQ(cmd.Caller, &caller);
        EXPECT_EQ(cmd.Callback, &NoCallback);
        EXPECT_EQ(cmd.Version, 173);
        EXPECT_EQ(cmd.Handle, &window);
        EXPECT_EQ(Text(cmd.ZipFileName), "C:\\Ablage\\\xC3\x9C"
                                         "ber.zip");
        EXPECT_EQ(Text(cmd.ExtractDir), "C:\\Ziel");
        EXPECT_EQ(Text(cmd.Password), "geheim");
        EXPECT_EQ(cmd.PasswordReqCount, 3);
        EXPECT_EQ(cmd.fUseOutStream, QRV_ZIP_TRUE);
    }
    // Unattended, no folder, no password: none of them is passed.
    settings.Unattended = true;
    settings.ExtrBaseDir.clear();
    settings.Password.clear();
    settings.ToStream = false;
    TUnzCommandRecord command(settings);
    const UnzCommand& cmd = command.Record();
    EXPECT_EQ(cmd.Handle, nullptr);
    EXPECT_EQ(cmd.ExtractDir, nullptr);
    EXPECT_EQ(cmd.Password, nullptr);
    EXPECT_EQ(cmd.fUseOutStream, 0);
}

TEST(ZipCommands, AddingReadsEachPatternsEncryptionAndPassword)
{
    struct TCase {
        std::wstring Spec;
        bool AddEncrypt;
        std::string Passed;
        int32_t Encrypt;
        std::string Password;  // "(none)" when no own password
    } cases[] = {
        {L"text\\*.*", false, "text\\*.*", 0, "(none)"},
        {L"text\\*.*", true, "text\\*.*", QRV_ZIP_TRUE, "(none)"},
        {L">secret.txt", false, "secret.txt", QRV_ZIP_TRUE, "(none)"},
        {L"|data.bin", true, "data.bin", QRV_ZIP_SPEC_PLAIN, "(none)"},
        {L"|data.bin", false, "data.bin", 0, "(none)"},
        {L"own.txt<Eigenes", false, "own.txt", 0, "Eigenes"},
        {L">own.txt<Eigenes", false, "own.txt", QRV_ZIP_TRUE, "Eigenes"},
        {L"blank.txt< x", true, "blank.txt", QRV_ZIP_TRUE, "(none)"},
        {L"Größe.txt<Paßwort", true,
         "Gr\xC3\xB6\xC3\x9F"
         "e.txt",
         QRV_ZIP_TRUE, "Pa\xC3\x9Fwort"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Passed) + (c.AddEncrypt ? " with AddEncrypt" : ""));
        TZipSettings settings;
        settings.AddOptions = c.AddEncrypt ? unsigned(AddEncrypt) : 0u;
        settings.RootDir = L"C:\\Quelle";
        settings.Specs = {c.Spec};
        const TZipCommandRecord command(settings);
        const ZipCommand& cmd = command.Record();
        ASSERT_EQ(cmd.SpecCount, 1);
        const ZipFileSpec& spec = cmd.Specs[0];
        EXPECT_EQ(Text(spec.FileSpec), c.Passed);
        EXPECT_EQ(spec.Encrypt, c.Encrypt);
        EXPECT_EQ(Text(spec.Password), c.Password);
        EXPECT_EQ(spec.PasswordGiven, c.Password == "(none)" ? 0 : QRV_ZIP_TRUE);
        EXPECT_EQ(Text(spec.RootDir), "C:\\Quelle");
        EXPECT_EQ(cmd.fEncrypt, c.AddEncrypt ? QRV_ZIP_TRUE : 0);
    }
}

TEST(ZipCommands, AddFlagsFollowTheOptions)
{
    struct TCase {
        const char* What;
        unsigned Options;
        int32_t Move, Update, Freshen, ZipTime, ForceDOS, Hidden, DirNames, Recurse, Volume;
    } cases[] = {
        {"none", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"move", AddMove, -1, 0, 0, 0, 0, 0, 0, 0, 0},
        {"freshen", AddFreshen, 0, 0, -1, 0, 0, 0, 0, 0, 0},
        {"update wins over freshen", AddFreshen | AddUpdate, 0, -1, 0, 0, 0, 0, 0, 0, 0},
        {"times and names", AddZipTime | AddForceDOS, 0, 0, 0, -1, -1, 0, 0, 0, 0},
        {"hidden, folders, recursion", AddHiddenFiles | AddDirNames | AddRecurseDirs, 0, 0, 0, 0, 0, -1, -1, -1, 0},
        {"volume label", AddVolume, 0, 0, 0, 0, 0, 0, 0, 0, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TZipSettings settings;
        settings.AddOptions = c.Options;
        const TZipCommandRecord command(settings);
        const ZipCommand& cmd = command.Record();
        EXPECT_EQ(cmd.fMove, c.Move);
        EXPECT_EQ(cmd.fUpdate, c.Update);
        EXPECT_EQ(cmd.fFreshen, c.Freshen);
        EXPECT_EQ(cmd.fZipTime, c.ZipTime);
        EXPECT_EQ(cmd.fForceDOS, c.ForceDOS);
        EXPECT_EQ(cmd.fHidden, c.Hidden);
        EXPECT_EQ(cmd.fDirNames, c.DirNames);
        EXPECT_EQ(cmd.fRecurse, c.Recurse);
        EXPECT_EQ(cmd.fVolume, c.Volume);
        EXPECT_EQ(cmd.fSeven, QRV_ZIP_RECORD_END);
    }
}

TEST(ZipCommands, AddLevelDateCodePageDeletingAndTheStream)
{
    const TDateTime day = DosDateToDateTime(uint16_t(((2010 - 1980) << 9) | (3 << 5) | 7));
    const std::string memory = "aus dem Speicher";
    TZipSettings settings;
    settings.Action = zopDelete;
    settings.AddCompLevel = 12;
    settings.AddOptions = AddFromDate;
    settings.AddFrom = day + 0.75;  // the time of day does not matter
    settings.CodePage = cpOEM;
    settings.HowToDelete = htdFinal;
    settings.TempDir = L"C:\\Temp";
    settings.Excludes = {L"*.bak", L"alt\\*.*"};
    settings.AddStoreSuffixes = assPNG | assEXT;
    settings.ExtAddStoreSuffixes = u"mp3";
    settings.FromStream = true;
    settings.InStream = memory.data();
    settings.InStreamSize = int32_t(memory.size());
    {
        const TZipCommandRecord command(settings);
        const ZipCommand& cmd = command.Record();
        EXPECT_EQ(cmd.Action, zopDelete);
        EXPECT_EQ(cmd.Level, 9);
        EXPECT_EQ(Text(cmd.FromDate), "03 07 10");
        EXPECT_EQ(cmd.CodePage, 2);
        EXPECT_EQ(cmd.fUndoDelete, 0);
        EXPECT_EQ(Text(cmd.TempDir), "C:\\Temp");
        EXPECT_EQ(cmd.RootDir, nullptr);
        ASSERT_EQ(cmd.ExclCount, 2);
        EXPECT_EQ(Text(cmd.Excludes[1].FileSpec), "alt\\*.*");
        EXPECT_EQ(Text(cmd.StoreSuffixes), ".png:.mp3");
        EXPECT_EQ(cmd.fUseInStream, QRV_ZIP_TRUE);
        EXPECT_EQ(cmd.InStream, memory.data());
        EXPECT_EQ(cmd.InStreamSize, int32_t(memory.size()));
    }
    // Without AddFromDate the day is not passed; a day before 1980 never.
    settings.AddCompLevel = -4;
    settings.AddOptions = 0;
    settings.CodePage = cpAuto;
    settings.HowToDelete = htdAllowUndo;
    settings.FromStream = false;
    {
        const TZipCommandRecord command(settings);
        const ZipCommand& cmd = command.Record();
        EXPECT_EQ(cmd.Level, 0);
        EXPECT_EQ(cmd.FromDate, nullptr);
        EXPECT_EQ(cmd.CodePage, 0);
        EXPECT_EQ(cmd.fUndoDelete, QRV_ZIP_TRUE);
        EXPECT_EQ(cmd.fUseInStream, 0);
        EXPECT_EQ(cmd.InStream, nullptr);
    }
    settings.AddOptions = AddFromDate;
    settings.AddFrom = DosDateToDateTime(uint16_t((1 << 5) | 1)) - 1;  // 31 Dec 1979
    const TZipCommandRecord command(settings);
    EXPECT_EQ(command.Record().FromDate, nullptr);
    EXPECT_EQ(ZipFromDateText(DosDateToDateTime(uint16_t(((2099 - 1980) << 9) | (12 << 5) | 31))), "12 31 99");
}

}  // namespace
