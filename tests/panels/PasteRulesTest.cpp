#include "panels/PasteRules.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

namespace {

// A folder T:\\q holding a.txt, the folder Projekt and an earlier copy of a.txt.
const std::set<std::wstring> kExisting = {L"T:\\q\\a.txt", L"T:\\q\\Projekt", L"T:\\q\\a - Kopie.txt"};
bool Exists(const std::wstring& path)
{
    return kExisting.count(path) != 0;
}
bool IsDirectory(const std::wstring& path)
{
    return path == L"T:\\q\\Projekt";
}

}  // namespace

TEST(PasteRules, CutMovesCopyCopiesAndACopyIntoItsOwnFolderIsRenamed)
{
    const std::vector<std::wstring> fromQ = {L"T:\\q\\a.txt", L"T:\\q\\Projekt"};
    struct Case {
        const char* what;
        std::vector<std::wstring> names;
        TDropEffect effect;
        std::wstring target;
        bool confirm;
        bool valid;
        TFileOperation operation;
        TFileOperationFlags flags;
        bool emptyAfter;
    };
    const Case cases[] = {
        {"copy elsewhere", fromQ, deCopy, L"T:\\z", true, true, TFileOperation::foCopy, foAllowUndo | foNoConfirmMkDir,
         false},
        {"cut elsewhere", fromQ, deMove, L"T:\\z", true, true, TFileOperation::foMove, foAllowUndo | foNoConfirmMkDir,
         true},
        {"copy into the own folder", fromQ, deCopy, L"T:\\Q\\", true, true, TFileOperation::foCopy,
         foAllowUndo | foNoConfirmMkDir | foMultiDestFiles, false},
        {"no overwrite question", fromQ, deCopy, L"T:\\z", false, true, TFileOperation::foCopy,
         foAllowUndo | foNoConfirmMkDir | foNoConfirmation, false},
        {"cut into the own folder", fromQ, deMove, L"T:\\q", true, false, TFileOperation::foMove, 0, false},
        {"relative name", {L"a.txt"}, deCopy, L"T:\\z", true, false, TFileOperation::foCopy, 0, false},
        {"relative target", fromQ, deCopy, L"z", true, false, TFileOperation::foCopy, 0, false},
        {"nothing", {}, deCopy, L"T:\\z", true, false, TFileOperation::foCopy, 0, false},
        {"folder into itself", fromQ, deCopy, L"T:\\q\\projekt", true, false, TFileOperation::foCopy, 0, false},
        {"folder into its subfolder", fromQ, deMove, L"T:\\q\\Projekt\\a\\b", true, false, TFileOperation::foMove, 0,
         false},
        {"folder beside a like-named one", fromQ, deCopy, L"T:\\q\\Projekt2", true, true, TFileOperation::foCopy,
         foAllowUndo | foNoConfirmMkDir, false},
    };
    for (const Case& c : cases) {
        const TPastePlan plan = PlanPaste(c.names, c.effect, c.target, c.confirm, Exists, IsDirectory);
        EXPECT_EQ(plan.Valid, c.valid) << c.what;
        if (!c.valid) {
            continue;
        }
        EXPECT_EQ(plan.Operation, c.operation) << c.what;
        EXPECT_EQ(plan.Flags, c.flags) << c.what;
        EXPECT_EQ(plan.EmptyClipboardAfter, c.emptyAfter) << c.what;
        EXPECT_EQ(plan.Sources, c.names) << c.what;
        EXPECT_EQ(plan.Dest, c.target) << c.what;
        // Only a copy into the own folder names its copies itself.
        EXPECT_EQ(plan.Dests.empty(), (c.flags & foMultiDestFiles) == 0) << c.what;
    }
}

// A copy into its own folder: the copies are named here, never by the
// shell, which under Wine asks to overwrite the file with itself.
TEST(PasteRules, ACopyIntoItsOwnFolderIsNamedAsACopy)
{
    const TPastePlan plan =
        PlanPaste({L"T:\\q\\a.txt", L"T:\\q\\Projekt", L"T:\\q\\.profil"}, deCopy, L"T:\\q", true, Exists, IsDirectory);
    ASSERT_TRUE(plan.Valid);
    EXPECT_EQ(plan.Dests, (std::vector<std::wstring>{L"T:\\q\\a - Kopie (2).txt", L"T:\\q\\Projekt - Kopie",
                                                     L"T:\\q\\.profil - Kopie"}));
    EXPECT_EQ(plan.Flags & (foRenameOnCollision | foWantMappingHandle), 0);

    const struct {
        std::wstring source;
        bool directory;
        std::vector<std::wstring> taken;
        std::wstring copy;
    } cases[] = {
        {L"T:\\q\\brief.txt", false, {}, L"T:\\q\\brief - Kopie.txt"},
        {L"T:\\q\\a.txt", false, {}, L"T:\\q\\a - Kopie (2).txt"},
        {L"T:\\q\\a.txt", false, {L"T:\\q\\A - KOPIE (2).TXT"}, L"T:\\q\\a - Kopie (3).txt"},
        {L"T:\\q\\archiv.tar.gz", false, {}, L"T:\\q\\archiv.tar - Kopie.gz"},
        {L"T:\\q\\Ordner.alt", true, {}, L"T:\\q\\Ordner.alt - Kopie"},
        {L"T:\\q\\ohne", false, {}, L"T:\\q\\ohne - Kopie"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CopyName(c.source, c.directory, Exists, c.taken), c.copy) << WideToUtf8(c.source);

    // A folder that has every name: no copy, no hang.
    EXPECT_EQ(CopyName(L"T:\\q\\a.txt", false, [](const std::wstring&) { return true; }), L"");
    EXPECT_FALSE(PlanPaste(
                     {L"T:\\q\\a.txt"}, deCopy, L"T:\\q", true, [](const std::wstring&) { return true; }, IsDirectory)
                     .Valid);
}

// Asked to rename on a collision, a paste into another folder renames only
// the names the target holds already; nothing taken keeps one destination.
TEST(PasteRules, RenameOnCollisionNamesOnlyTakenNames)
{
    const TPastePlan plan = PlanPaste(
        {L"T:\\z\\a.txt", L"T:\\z\\neu.txt", L"T:\\z\\Projekt"}, deCopy, L"T:\\q", true, Exists,
        [](const std::wstring& path) { return path == L"T:\\z\\Projekt"; }, true);
    ASSERT_TRUE(plan.Valid);
    EXPECT_EQ(plan.Dests,
              (std::vector<std::wstring>{L"T:\\q\\a - Kopie (2).txt", L"T:\\q\\neu.txt", L"T:\\q\\Projekt - Kopie"}));
    EXPECT_NE(plan.Flags & foMultiDestFiles, 0);

    const TPastePlan free = PlanPaste({L"T:\\z\\neu.txt"}, deMove, L"T:\\q", true, Exists, IsDirectory, true);
    ASSERT_TRUE(free.Valid);
    EXPECT_TRUE(free.Dests.empty());
    EXPECT_EQ(free.Flags & foMultiDestFiles, 0);
}

// A drop's plan: mapped names become the targets' names unless copies'
// names are needed; into a recycle bin a delete whose questions follow the
// settings; a mapped name that would leave the folder plans nothing.
TEST(PasteRules, DropsTakeMappedNamesAndRecycleBinFlags)
{
    const std::vector<std::wstring> two = {L"T:\\z\\eins.tmp", L"T:\\z\\zwei.tmp"};
    struct Case {
        const char* what;
        std::vector<std::wstring> names;
        std::vector<std::wstring> mapped;
        TDropEffect effect;
        TDropConfirmations confirm;
        bool recycle;
        bool sameFolder;
        bool valid;
        TFileOperation operation;
        TFileOperationFlags flags;
        std::vector<std::wstring> dests;
    };
    constexpr TFileOperationFlags base = foAllowUndo | foNoConfirmMkDir;
    const TDropConfirmations asks{true, true, false};
    const TDropConfirmations silent{false, false, false};
    const TDropConfirmations nuke{true, false, true};
    const Case cases[] = {
        {"mapped names",
         two,
         {L"Brief.txt", L"Bild.png"},
         deCopy,
         asks,
         false,
         false,
         true,
         TFileOperation::foCopy,
         base | foMultiDestFiles,
         {L"T:\\q\\Brief.txt", L"T:\\q\\Bild.png"}},
        {"one mapped, one own",
         two,
         {L"", L"Bild.png"},
         deMove,
         silent,
         false,
         false,
         true,
         TFileOperation::foMove,
         base | foMultiDestFiles | foNoConfirmation,
         {L"T:\\q\\eins.tmp", L"T:\\q\\Bild.png"}},
        {"none mapped", two, {L"", L""}, deCopy, asks, false, false, true, TFileOperation::foCopy, base, {}},
        {"copies' names win",
         {L"T:\\q\\a.txt"},
         {L"b.txt"},
         deCopy,
         asks,
         false,
         true,
         true,
         TFileOperation::foCopy,
         base | foMultiDestFiles,
         {L"T:\\q\\a - Kopie (2).txt"}},
        {"mapped name leaving the folder",
         two,
         {L"..\\x.txt", L""},
         deCopy,
         asks,
         false,
         false,
         false,
         TFileOperation::foCopy,
         0,
         {}},
        {"mapped device name",
         two,
         {L"NUL.txt", L""},
         deCopy,
         asks,
         false,
         false,
         false,
         TFileOperation::foCopy,
         0,
         {}},
        {"mapped list of another length",
         two,
         {L"a.txt"},
         deCopy,
         asks,
         false,
         false,
         false,
         TFileOperation::foCopy,
         0,
         {}},
        {"a link is no file operation", two, {}, deLink, asks, false, false, false, TFileOperation::foCopy, 0, {}},
        {"recycle bin, asking", two, {}, deMove, asks, true, false, true, TFileOperation::foDelete, base, {}},
        {"recycle bin, silent",
         two,
         {L"x", L"y"},
         deCopy,
         silent,
         true,
         false,
         true,
         TFileOperation::foDelete,
         base | foNoConfirmation,
         {}},
        {"recycle bin, silent but warning",
         two,
         {},
         deNone,
         nuke,
         true,
         false,
         true,
         TFileOperation::foDelete,
         base | foNoConfirmation | foWantNukeWarning,
         {}},
        {"recycle bin, a relative name",
         {L"x.txt"},
         {},
         deMove,
         asks,
         true,
         false,
         false,
         TFileOperation::foCopy,
         0,
         {}},
    };
    for (const Case& c : cases) {
        const TPastePlan plan =
            PlanDrop(c.names, c.mapped, c.effect, L"T:\\q", c.confirm, c.recycle, c.sameFolder, Exists, IsDirectory);
        EXPECT_EQ(plan.Valid, c.valid) << c.what;
        if (!c.valid) {
            continue;
        }
        EXPECT_EQ(plan.Operation, c.operation) << c.what;
        EXPECT_EQ(plan.Flags, c.flags) << c.what;
        EXPECT_EQ(plan.Sources, c.names) << c.what;
        EXPECT_EQ(plan.Dests, c.dests) << c.what;
    }
}
