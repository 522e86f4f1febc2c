#include "mainwindow/win/CompareLink.h"

#include "dialogs/win/SelOptForm.h"
#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/win/CommandMenus.h"
#include "mainwindow/win/WinCompareFile.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

namespace qrv {

namespace {

bool ApplicationIsActive()
{
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process == GetCurrentProcessId();
}

}  // namespace

TCompareLink::TCompareLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                           TCommandMenus& Menus, const TCompareLinkWindow& Window)
    : services_(Services), window_(Window), commands_(Panes, Services, *this)
{
    Catalogue.Register(TActionId::FileCompare, [this] { commands_.FileCompareExecute(); });
    Catalogue.Register(TActionId::FileWinCompare, [this] { commands_.FileWinCompareExecute(); });
    Catalogue.Register(TActionId::HelpAbout,
                       [this] { commands_.HelpAboutExecute(window_.TitleBase ? *window_.TitleBase : std::wstring()); });
    AddToolbarButtons(Menus);
}

void TCompareLink::AddToolbarButtons(TCommandMenus& Menus)
{
    if (!window_.Toolbar)
        return;
    const struct {
        const wchar_t* Name;
        const wchar_t* Caption;
        TActionId Id;
    } buttons[] = {{L"btnFileCompare", L"Vergleichen", TActionId::FileCompare},
                   {L"btnDirCompare", L"Verz.-Vergleich", TActionId::FileWinCompare}};
    for (const auto& spec : buttons) {
        auto* button = new TKyToolbarButton(services_.Window());
        button->SetName(spec.Name);
        button->SetCaption(spec.Caption);
        button->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        const SIZE label = MeasureText(button->Font().Handle(), spec.Caption);
        button->SetWidth(std::max(button->Width(), static_cast<int>(label.cx) + 16));
        if (TAction* action = Menus.Action(spec.Id))
            action->Link(button);
        button->SetParent(window_.Toolbar);
    }
}

bool TCompareLink::HoldsClose()
{
    const bool heldByWalk = commands_.HoldCloseBack();
    if (FileComparisonRunning()) {
        // The comparison is on the stack below this message: stop it and
        // close when it has returned.
        abortComparison_ = true;
        closeAfterComparison_ = !heldByWalk;
        return true;
    }
    return heldByWalk;
}

bool TCompareLink::StackedFileWindows()
{
    return !window_.Splitter || window_.Splitter->Align() == TAlign::alTop;
}

const TOptions& TCompareLink::FileOptions()
{
    return qrv::Options;
}

uint8_t TCompareLink::CompareFileContents(const std::wstring& FileA, const std::wstring& FileB)
{
    // A comparison already running (its message pump may bring us here
    // again) leaves the abort request alone and gets crBusy below.
    if (!FileComparisonRunning())
        abortComparison_ = false;
    TFileCompareHost host;
    host.Open = TWinCompareFile::Open;
    host.ProcessMessages = [] {
        if (Application)
            Application->ProcessMessages();
    };
    host.AbortRequested = [this] { return abortComparison_ || EscapePressed(); };
    const uint8_t result = qrv::CompareFileContents(FileA, FileB, host);
    // A close asked for meanwhile was held back until now.
    if (result != crBusy && closeAfterComparison_) {
        closeAfterComparison_ = false;
        if (TForm* window = services_.Window(); window && window->HandleAllocated())
            PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
    }
    return result;
}

uint8_t TCompareLink::CompareFileContentsOnWorker(const std::wstring& FileA, const std::wstring& FileB,
                                                  const std::atomic<bool>& Stop)
{
    return CompareFilesOnWorker(FileA, FileB, Stop);
}

bool TCompareLink::EscapePressed()
{
    return ApplicationIsActive() && (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

bool TCompareLink::ChooseCompareFile(const std::wstring& Title, const std::wstring& InitialDir, std::wstring& Name)
{
    std::wstring buffer(32768, L'\0');
    const wchar_t filter[] = L"Alle Dateien (*.*)\0*.*\0";
    TForm* window = services_.Window();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window && window->HandleAllocated() ? window->Handle() : nullptr;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.c_str();
    ofn.Flags =
        OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&ofn)) {
        if (const DWORD error = CommDlgExtendedError())
            TraceIgnoredFailure(L"the open dialog of the file comparison", error);
        return false;
    }
    Name = buffer.c_str();
    return !Name.empty();
}

bool TCompareLink::ExecuteCompareOptions(TSelOptForm& Form)
{
    return Form.Execute();
}

intptr_t TCompareLink::StartProgram(const std::wstring& Program, const std::wstring& Parameters,
                                    const std::wstring& Directory)
{
    const HINSTANCE result = ShellExecuteW(GetDesktopWindow(), nullptr, Program.c_str(), Parameters.c_str(),
                                           Directory.empty() ? nullptr : Directory.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result);
}

TDirCompareOptions TCompareLink::StoredCompareOptions()
{
    TDirCompareOptions options;
    if (!window_.Stored)
        return options;
    const TCompareStoredOptions& stored = *window_.Stored;
    options.ByName = stored.ByName.value_or(options.ByName);
    options.BySize = stored.BySize.value_or(options.BySize);
    options.ByContent = stored.ByContent.value_or(options.ByContent);
    options.SubDirs = stored.SubDirs.value_or(false);
    options.Duplicates = stored.SelectDuplicates.value_or(false);
    return options;
}

}  // namespace qrv
