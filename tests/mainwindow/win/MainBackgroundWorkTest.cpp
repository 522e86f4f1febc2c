// The main window's background work: the folder-size command and the
// idle start of the lists' deferred scans, a picture shown through the
// external converter (the stand-in beside the test) with its size in the
// status bar, and the options exchange keeping the first list's thumbnails.

#include "SettingsGuards.h"

#include "common/win/FileClipboard.h"
#include "common/win/SimpleTimer.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Image.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/win/CommandMenus.h"
#include "mainwindow/StatusTexts.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::wstring BesideTest(const std::wstring& Name)
{
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring path = own;
    return path.substr(0, path.find_last_of(L'\\') + 1) + Name;
}

void WriteTiff(const std::wstring& Path, UINT Width, UINT Height)
{
    using Microsoft::WRL::ComPtr;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
    ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(Path.c_str(), GENERIC_WRITE));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatTiff, nullptr, &encoder));
    ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
    ASSERT_HRESULT_SUCCEEDED(frame->Initialize(options.Get()));
    ASSERT_HRESULT_SUCCEEDED(frame->SetSize(Width, Height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
    const UINT stride = (Width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(size_t{stride} * Height, 0x60);
    ASSERT_HRESULT_SUCCEEDED(frame->WritePixels(Height, stride, static_cast<UINT>(pixels.size()), pixels.data()));
    ASSERT_HRESULT_SUCCEEDED(frame->Commit());
    ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
}

class ScriptedOptionsDialog : public TOptionsDialogRunner {
public:
    std::function<void(TOptions&)> edit;
    bool Run(TOptions& Options, int& Page) override
    {
        Page = 0;
        if (edit)
            edit(Options);
        return true;
    }
};

class MainBackgroundWork : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        Settle();
    }
    void TearDown() override
    {
        if (main) {
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }
    void Settle()
    {
        ASSERT_TRUE(test::PumpUntilIdle(
            [&] {
                return !main->StatusTimer()->Active() && !main->ActionTimer()->Active() &&
                       !main->OleDisplayTimer()->Active();
            },
            10s));
    }
    void Open(const std::wstring& folder, const std::wstring& item)
    {
        TDirView& list = *main->ActiveList;
        if (main->TreeView1->DirView() == &list)
            main->TreeView1->SetDirectory(folder);
        if (!SameText(list.Path(), folder))
            list.SetPath(folder);
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(item); }, 10s));
    }
    // Handles messages as the window's loop does, the idle moments
    // included, until the condition holds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        return test::PumpUntil(
            [&] {
                if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 && Application->OnIdle)
                    Application->OnIdle();
                return done();
            },
            limit);
    }
    std::wstring Panel(int index) { return main->StatusBar->DisplayedText(index); }
};

}  // namespace

TEST_F(MainBackgroundWork, TheFolderSizeCommandFillsInSizesWhenTheWindowIsIdle)
{
    for (const wchar_t* name : {L"eins", L"zwei"}) {
        ASSERT_TRUE(CreateDirectoryW(dir.File(name).c_str(), nullptr));
        dir.Write(std::wstring(name) + L"\\inhalt.txt", std::string(1000, 'x'));
    }
    Open(dir.Path(), L"zwei");
    TDirView& list = *main->ActiveList;
    const bool before = Options.DirSize;
    main->ActionList1->UpdateActions();
    TAction* command = main->CommandMenus().Action(TActionId::ViewDirSize);
    ASSERT_NE(command, nullptr);
    command->Execute();
    EXPECT_NE(Options.DirSize, before);
    if (!Options.DirSize)
        command->Execute();
    ASSERT_TRUE(Options.DirSize);
    EXPECT_TRUE(command->Checked());
    EXPECT_TRUE(main->LV1->ShowSubDirSize());
    EXPECT_TRUE(main->LV2->ShowSubDirSize());
    // The lists start their scans only when the window is idle.
    EXPECT_TRUE(list.ScanPending());
    ASSERT_TRUE(RunUntil([&] { return list.FindFileItem(L"eins")->SubDirSizeDone; }, 10s));
    ASSERT_TRUE(RunUntil([&] { return list.FindFileItem(L"zwei")->SubDirSizeDone; }, 10s));
    EXPECT_EQ(list.FindFileItem(L"eins")->Size, 1000u);
    // Off again: file sizes only.
    command->Execute();
    EXPECT_FALSE(Options.DirSize);
    EXPECT_FALSE(command->Checked());
    EXPECT_TRUE(SizeUnknown(*list.FindFileItem(L"eins")));
    EXPECT_EQ(list.TotalSize(), 0u);
}

TEST_F(MainBackgroundWork, AConvertedPictureShowsWithItsSizeAndTheClipboardStays)
{
    Options.IrfanViewPath = BesideTest(L"I_VIEW32.EXE");
    // A TIFF under an extension only the converter reads.
    WriteTiff(dir.File(L"scan.pcd"), 3, 2);
    dir.Write(L"kaputt.pcd", "II*\0 kein Bild");
    ASSERT_NE(PutTextOnClipboard(nullptr, u"Grüße €"), 0u);
    Open(dir.Path(), L"scan.pcd");
    TDirView& list = *main->ActiveList;
    ListView_SetItemState(list.Handle(), list.IndexOf(list.FindFileItem(L"scan.pcd")), LVIS_FOCUSED | LVIS_SELECTED,
                          LVIS_FOCUSED | LVIS_SELECTED);
    if (!main->FileDisplay()->ViewFile())
        main->ViewFile->Execute();
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            const SIZE size = main->Image1->PictureSize();
            return size.cx == 3 && size.cy == 2;
        },
        20s));
    Settle();
    EXPECT_EQ(Panel(0), PictureSizeStatusText(3, 2));
    EXPECT_EQ(ReadClipboardText(nullptr), std::u16string(u"Grüße €"));

    // A file the converter cannot read: its message.
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list.Handle(), list.IndexOf(list.FindFileItem(L"kaputt.pcd")), LVIS_FOCUSED | LVIS_SELECTED,
                          LVIS_FOCUSED | LVIS_SELECTED);
    ASSERT_TRUE(test::PumpUntil([&] { return main->ErrorPanel->Visible(); }, 20s));
    EXPECT_NE(main->ErrorpanelCaption->Caption().find(L"kaputt.pcd"), std::wstring::npos)
        << WideToUtf8(main->ErrorpanelCaption->Caption());
    EXPECT_EQ(ReadClipboardText(nullptr), std::u16string(u"Grüße €"));
}

TEST_F(MainBackgroundWork, AnOkInTheOptionsKeepsTheFirstListsThumbnails)
{
    main->LV1->SetThumbSize(150, 120);
    main->LV1->SetThumbSpaceWidth(33);
    auto dialog = std::make_unique<ScriptedOptionsDialog>();
    dialog->edit = [](TOptions& o) { o.ConfirmOverWrite = !o.ConfirmOverWrite; };
    main->OptionsDialog = std::move(dialog);
    main->ActionList1->UpdateActions();
    ASSERT_TRUE(main->OptionsDlg->Enabled());
    main->OptionsDlg->Execute();
    EXPECT_EQ(main->LV1->ThumbWidth(), 150);
    EXPECT_EQ(main->LV1->ThumbHeight(), 120);
    EXPECT_EQ(main->LV1->ThumbSpaceWidth(), 33);
    // Both lists follow the values taken over.
    EXPECT_EQ(main->LV2->ThumbWidth(), 150);
    EXPECT_EQ(Options.PixelX, 150);
}
