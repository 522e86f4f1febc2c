#include "panels/PasteRules.h"

#include <gtest/gtest.h>

using namespace qrv;

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
         foAllowUndo | foNoConfirmMkDir | foRenameOnCollision | foWantMappingHandle, false},
        {"no overwrite question", fromQ, deCopy, L"T:\\z", false, true, TFileOperation::foCopy,
         foAllowUndo | foNoConfirmMkDir | foNoConfirmation, false},
        {"cut into the own folder", fromQ, deMove, L"T:\\q", true, false, TFileOperation::foMove, 0, false},
        {"relative name", {L"a.txt"}, deCopy, L"T:\\z", true, false, TFileOperation::foCopy, 0, false},
        {"relative target", fromQ, deCopy, L"z", true, false, TFileOperation::foCopy, 0, false},
        {"nothing", {}, deCopy, L"T:\\z", true, false, TFileOperation::foCopy, 0, false},
    };
    for (const Case& c : cases) {
        const TPastePlan plan = PlanPaste(c.names, c.effect, c.target, c.confirm);
        EXPECT_EQ(plan.Valid, c.valid) << c.what;
        if (!c.valid) {
            continue;
        }
        EXPECT_EQ(plan.Operation, c.operation) << c.what;
        EXPECT_EQ(plan.Flags, c.flags) << c.what;
        EXPECT_EQ(plan.EmptyClipboardAfter, c.emptyAfter) << c.what;
        EXPECT_EQ(plan.Sources, c.names) << c.what;
        EXPECT_EQ(plan.Dest, c.target) << c.what;
    }
}
