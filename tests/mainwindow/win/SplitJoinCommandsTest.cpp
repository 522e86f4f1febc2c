// The split and join commands on real files (the test drive), with the
// window's side faked: a 10 MB file cut at 1,44 MB and joined again with its
// times and attributes, a part whose header names a folder above, a start on
// a middle part, and the dialogs' choices.

#include "mainwindow/win/SplitJoinCommands.h"

#include "TestDir.h"
#include "common/win/FileQueries.h"
#include "dialogs/SplitFileFields.h"
#include "dialogs/win/SplitFileDialogs.h"
#include "framework/win/Buttons.h"
#include "framework/win/ListBox.h"
#include "framework/win/Handles.h"
#include "mainwindow/win/WinSplitFiles.h"

#include "FakeMainWindowServices.h"
#include "widgets/win/KySpin.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

namespace {

std::string Noise(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& ch : bytes)
        ch = static_cast<char>(random());
    return bytes;
}

class FakeSplitHost : public TSplitJoinCommandsHost, public FakeMainWindowServices {
public:
    std::vector<TCommandItem> selection;
    std::wstring folder;
    std::vector<std::wstring> boxes;
    int paused = 0, resumed = 0;
    std::function<bool(TSplitFileDialog&)> split;
    std::function<bool(TCombineFileDialog&)> combine;

    std::vector<TCommandItem> ActiveSelection() override { return selection; }
    std::wstring ActiveListFolder() override { return folder; }
    int ShowMessageBox(const std::wstring& text, TMsgDlgType, int, TMsgDlgButtons) override
    {
        boxes.push_back(text);
        return mrCancel;
    }
    void PauseListWatching() override { ++paused; }
    void ResumeListWatching() override { ++resumed; }
    bool ExecuteSplitDialog(TSplitFileDialog& form) override { return split && split(form); }
    bool ExecuteCombineDialog(TCombineFileDialog& form) override { return combine && combine(form); }
};

TCommandItem Item(const std::wstring& path)
{
    return {path.substr(path.find_last_of(L'\\') + 1), path, false};
}

class SplitJoinCommandsTest : public ::testing::Test {
protected:
    TestDir dir;
    FakeSplitHost host;
    TWinSplitFiles files;
    TSplitJoinCommands commands{host, host, files};
    std::wstring parts = dir.Path() + L"\\parts";
    std::wstring out = dir.Path() + L"\\out";

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(parts.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
        host.folder = parts;
    }
    void TearDown() override
    {
        // The test folder goes with everything in it: no read-only file stays.
        for (const std::wstring& folder : {dir.Path(), parts, out}) {
            WIN32_FIND_DATAW data;
            TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
            if (!find)
                continue;
            do
                SetFileAttributesW((folder + L"\\" + data.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
            while (FindNextFileW(find.Get(), &data));
        }
    }
    // Splits Path at the choice of that size into the parts folder.
    void Split(const std::wstring& path, size_t choice)
    {
        host.selection = {Item(path)};
        host.folder = dir.Path();
        host.split = [&](TSplitFileDialog& form) {
            form.rbSizes[choice]->SetChecked(true);
            form.TargetDir->SetText(parts);
            return true;
        };
        commands.SplitFileExecute();
    }
    void JoinFrom(const std::vector<std::wstring>& selected)
    {
        host.selection.clear();
        for (const std::wstring& path : selected)
            host.selection.push_back(Item(path));
        host.folder = parts;
        host.combine = [&](TCombineFileDialog& form) {
            form.TargetDir->SetText(out);
            return true;
        };
        commands.CombineFileExecute();
    }
    static WIN32_FILE_ATTRIBUTE_DATA Data(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(FileAttributeData(path, data)) << testing::PrintToString(path);
        return data;
    }
};

TEST_F(SplitJoinCommandsTest, TenMegabytesCutAtOnePointFourFourAndJoinedAreEqual)
{
    // ctest: takes the focus. The progress form is shown, and activates the
    // window it disabled when it goes.
    const std::string bytes = Noise(10'000'000, 1);
    const std::wstring original = dir.Write(L"Zehn MB.bin", bytes);
    {
        TFileHandle file(CreateFileW(original.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        const FILETIME created{0x11223344, 0x01D00000}, written{0x55667788, 0x01D80000};
        ASSERT_TRUE(SetFileTime(file.Get(), &created, nullptr, &written));
    }
    ASSERT_TRUE(
        SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Split(original, 3);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(commands.PartSize(), 1'456'128u);
    EXPECT_EQ(commands.SplitTarget(), parts);
    EXPECT_EQ(host.paused, 1);
    EXPECT_EQ(host.resumed, 1);
    // 10,000,000 / 1,455,091 bytes of data: six whole parts and a seventh.
    for (int n = 1; n <= 7; ++n)
        EXPECT_TRUE(FileExists(SplitPartName(parts + L"\\Zehn MB.bin", n))) << n;
    EXPECT_FALSE(FileExists(SplitPartName(parts + L"\\Zehn MB.bin", 8)));
    EXPECT_EQ(Data(SplitPartName(parts + L"\\Zehn MB.bin", 1)).nFileSizeLow, 1'456'128u - 1037 + 324);

    // Selected in the list's order, the last part first.
    JoinFrom({SplitPartName(parts + L"\\Zehn MB.bin", 7), SplitPartName(parts + L"\\Zehn MB.bin", 2)});
    EXPECT_TRUE(host.boxes.empty());
    const std::wstring joined = out + L"\\Zehn MB.bin";
    EXPECT_TRUE(dir.Read(L"out\\Zehn MB.bin") == bytes);
    const WIN32_FILE_ATTRIBUTE_DATA a = Data(original), b = Data(joined);
    EXPECT_EQ(b.dwFileAttributes, a.dwFileAttributes);
    EXPECT_EQ(CompareFileTime(&a.ftCreationTime, &b.ftCreationTime), 0);
    EXPECT_EQ(CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime), 0);
    EXPECT_EQ(commands.JoinTarget(), out);
}

TEST_F(SplitJoinCommandsTest, APartNamingAFolderAboveLeavesNothingOutside)
{
    const std::wstring original = dir.Write(L"evil", Noise(3000, 2));
    Split(original, 0);
    const std::wstring part = SplitPartName(parts + L"\\evil", 1);
    // The header's name becomes "..\evil", as long as "evil" plus three.
    std::string bytes = dir.Read(L"parts\\evil(001).split");
    ASSERT_EQ(bytes[28], 4);
    bytes[28] = 7;
    bytes.replace(29, 7, "..\\evil");
    dir.Write(L"parts\\evil(001).split", bytes);
    ASSERT_TRUE(DeleteFileW(original.c_str()));
    JoinFrom({part});
    EXPECT_EQ(host.boxes, (std::vector<std::wstring>{InvalidPartText(part)}));
    EXPECT_FALSE(PathExists(dir.Path() + L"\\evil"));
    EXPECT_FALSE(PathExists(out + L"\\evil"));
}

TEST_F(SplitJoinCommandsTest, AStartOnAMiddlePartJoinsTheWholeFile)
{
    const std::string bytes = Noise(1'000'000, 3);
    Split(dir.Write(L"X", bytes), 0);
    JoinFrom({SplitPartName(parts + L"\\X", 3)});
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(dir.Read(L"out\\X") == bytes);
}

TEST_F(SplitJoinCommandsTest, CancelledDialogsDoNothingAndRefusedChoicesAreReported)
{
    const std::wstring original = dir.Write(L"c.bin", Noise(5000, 4));
    host.selection = {Item(original)};
    host.folder = dir.Path();
    // Cancel (or Esc) in the split form.
    commands.SplitFileExecute();
    EXPECT_FALSE(FileExists(SplitPartName(dir.Path() + L"\\c.bin", 1)));
    EXPECT_EQ(host.paused, 0);
    // A custom size of 2 KB, then a target that does not exist.
    host.split = [&](TSplitFileDialog& form) {
        form.CustomSize->SetText(L"2");
        EXPECT_TRUE(form.rbCustom->Checked());
        return true;
    };
    commands.SplitFileExecute();
    host.split = [&](TSplitFileDialog& form) {
        form.TargetDir->SetText(dir.Path() + L"\\nowhere");
        return true;
    };
    commands.SplitFileExecute();
    EXPECT_EQ(host.boxes, (std::vector<std::wstring>{L"Eingegebene Dateigröße muß größer als 2 Kb sein.",
                                                     SplitNoTargetText(dir.Path() + L"\\nowhere")}));
    EXPECT_FALSE(FileExists(SplitPartName(dir.Path() + L"\\c.bin", 1)));

    // The form shows the remembered choice; the default is 1,44 MB into the
    // list's folder.
    host.boxes.clear();
    host.split = [&](TSplitFileDialog& form) {
        EXPECT_TRUE(form.rbSizes[3]->Checked());
        EXPECT_EQ(form.TargetDir->Text(), dir.Path());
        return false;
    };
    commands.SplitFileExecute();

    // Cancel in the join form.
    Split(original, 0);
    host.selection = {Item(SplitPartName(parts + L"\\c.bin", 1))};
    host.folder = parts;
    std::vector<std::wstring> listed;
    host.combine = [&](TCombineFileDialog& form) {
        for (int i = 0; i < form.FileList->Items().Count(); ++i)
            listed.push_back(form.FileList->Items().Get(i));
        return false;
    };
    commands.CombineFileExecute();
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"c.bin"}));
    EXPECT_FALSE(PathExists(out + L"\\c.bin"));
    EXPECT_TRUE(host.boxes.empty());
}

// The system's files, but one path reports a size the header cannot hold.
class TFilesWithAHugeOne : public TWinSplitFiles {
public:
    std::wstring Huge;
    std::optional<TSplitFileInfo> Info(const std::wstring& Path) override
    {
        std::optional<TSplitFileInfo> info = TWinSplitFiles::Info(Path);
        if (info && Path == Huge)
            info->Size = (uint64_t{4} << 30) + 1;
        return info;
    }
};

TEST_F(SplitJoinCommandsTest, AFileAboveFourGigabytesStopsTheSplitBeforeTheForm)
{
    TFilesWithAHugeOne huge;
    TSplitJoinCommands split(host, host, huge);
    const std::wstring small = dir.Write(L"klein.bin", Noise(3000, 5));
    huge.Huge = dir.Write(L"riesig.bin", Noise(10, 6));
    host.selection = {Item(small), Item(huge.Huge)};
    host.folder = dir.Path();
    bool shown = false;
    host.split = [&](TSplitFileDialog&) { return shown = true; };
    split.SplitFileExecute();
    EXPECT_FALSE(shown);
    EXPECT_EQ(host.boxes, (std::vector<std::wstring>{SplitTooLargeText(L"riesig.bin")}));
    EXPECT_FALSE(FileExists(SplitPartName(dir.Path() + L"\\klein.bin", 1)));
    // Folders are left out; a selection of folders only shows nothing.
    host.boxes.clear();
    host.selection = {{L"parts", parts, true}};
    split.SplitFileExecute();
    EXPECT_FALSE(shown);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(SplitJoinCommandsTest, TheSplitFormTakesACustomSizeAndStaysOnTheScreen)
{
    TSplitFileDialog form(nullptr);
    form.SetPartSize(5000 * 1024);
    EXPECT_TRUE(form.rbCustom->Checked());
    EXPECT_EQ(form.CustomSize->Text(), L"5000");
    EXPECT_EQ(form.PartSize(), 5000u * 1024);
    form.SetPartSize(104'857'600);
    EXPECT_TRUE(form.rbSizes[6]->Checked());
    EXPECT_FALSE(form.rbCustom->Checked());
    EXPECT_EQ(form.PartSize(), 104'857'600u);

    // OK takes the size as it stands then, before the field can change it.
    form.TargetDir->SetText(dir.Path());
    form.CustomSize->SetText(L"2");
    form.OkClicked();
    EXPECT_TRUE(form.Accepted());
    form.CustomSize->SetText(L"100");
    EXPECT_EQ(form.PartSize(), 2048u);

    const int screen = GetSystemMetrics(SM_CXSCREEN);
    form.SetBounds(screen - 100, 10, form.Width(), form.Height());
    KeepFormOnScreen(form);
    EXPECT_EQ(form.Left() + form.Width(), screen);
    EXPECT_EQ(form.Top(), 10);
}

}  // namespace
