#include "common/win/FileClipboard.h"
#include "common/win/KyClipBoardFormats.h"
#include "common/win/ShellFileOperator.h"
#include "framework/win/Handles.h"
#include "panels/PasteRules.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qrv;
using qrv::test::TestDir;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pastes the clipboard's files into Folder as the file list does.
bool Paste(const std::wstring& folder)
{
    const auto files = ReadClipboardFiles(nullptr);
    if (!files) {
        return false;
    }
    const auto isDirectory = [](const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    const TPastePlan plan =
        PlanPaste(files->Names, PasteEffect(files->PreferredEffect), folder, true, Exists, isDirectory);
    if (!plan.Valid) {
        return false;
    }
    auto op = NewShellFileOperator(nullptr);
    op->Operation = plan.Operation;
    op->Flags = plan.Flags | foSilent;
    for (const auto& name : plan.Sources) {
        op->SourceFiles.Add(name);
    }
    if (plan.Dests.empty()) {
        op->DestFiles.Add(plan.Dest);
    }
    for (const auto& name : plan.Dests) {
        op->DestFiles.Add(name);
    }
    const bool done = op->Execute();
    if (done && plan.EmptyClipboardAfter) {
        return EmptyFileClipboard(nullptr);
    }
    return done;
}

}  // namespace

TEST(ClipboardPaste, FilesAndTheirEffectRoundTripThroughTheClipboard)
{
    const std::vector<std::wstring> names = {L"T:\\ordner\\Übersicht.txt", L"T:\\ordner\\Projekt"};
    ASSERT_TRUE(PutFilesOnClipboard(nullptr, names, true));
    auto files = ReadClipboardFiles(nullptr);
    ASSERT_TRUE(files);
    EXPECT_EQ(files->Names, names);
    EXPECT_EQ(PasteEffect(files->PreferredEffect), deMove);

    ASSERT_TRUE(PutFilesOnClipboard(nullptr, names, false));
    files = ReadClipboardFiles(nullptr);
    ASSERT_TRUE(files);
    EXPECT_EQ(PasteEffect(files->PreferredEffect), deCopy);
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
    EXPECT_FALSE(ClipboardHasFiles());
}

TEST(ClipboardPaste, MalformedDropBlockOnTheClipboardIsIgnored)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    // A header whose names would start far beyond the block.
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, 24));
    auto* bytes = static_cast<uint8_t*>(GlobalLock(memory.Get()));
    std::memset(bytes, 0, 24);
    bytes[0] = 0xFF;
    bytes[1] = 0x7F;
    GlobalUnlock(memory.Get());
    ASSERT_TRUE(SetClipboardData(CF_HDROP, memory.Get()));
    (void)memory.Release();
    CloseClipboard();
    EXPECT_TRUE(ClipboardHasFiles());
    EXPECT_FALSE(ReadClipboardFiles(nullptr));
    EXPECT_FALSE(Paste(L"T:\\"));
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST(ClipboardPaste, CutAndPasteMovesAndEmptiesTheClipboard)
{
    TestDir dir;
    const std::wstring source = dir.File(L"quelle");
    const std::wstring target = dir.File(L"ziel");
    ASSERT_TRUE(CreateDirectoryW(source.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    dir.Write(L"quelle\\a.txt", "A");

    ASSERT_TRUE(PutFilesOnClipboard(nullptr, {source + L"\\a.txt"}, true));
    ASSERT_TRUE(Paste(target));
    EXPECT_FALSE(Exists(source + L"\\a.txt"));
    EXPECT_EQ(dir.Read(L"ziel\\a.txt"), "A");
    EXPECT_FALSE(ClipboardHasFiles()) << "a pasted cut empties the clipboard";

    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}
