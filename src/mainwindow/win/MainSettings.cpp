// TQRVMain: loading and saving the settings. The store is chosen here (the
// machine policy, the user's choice of the registry, the INI file); what is
// stored where is the schema's business (StoredSettings). The window hands
// its own values to the schema through StoredState and takes back what its
// controls can show.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "common/win/BaseUtilsWin.h"
#include "editor/EditorSettings.h"
#include "editor/win/EasyRegistryStore.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/PaneSizes.h"
#include "mainwindow/win/ToolFormsLink.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "settings/SettingRules.h"
#include "settings/win/KyRegistryWin.h"
#include "viewers/win/HexEditor.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/ToolWindowPositions.h"

#include <shlobj.h>

namespace qrv {

namespace {

const std::wstring kSettingsKey = L"\\Software\\Quorvan Free";
const std::wstring kPolicyKey = L"\\Software\\Quorvan Free\\Policies";
const std::wstring kEditorSettingsKey = L"\\Software\\Quorvan Free\\EditorSettings";

std::wstring WindowsDirectory()
{
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring PersonalFolder()
{
    wchar_t buffer[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
        return {};
    return buffer;
}

// The picture converter registered for its own file types, when it exists.
std::wstring RegisteredIrfanView()
{
    try {
        TRegistry registry(KEY_READ);
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKeyReadOnly(L"\\Software\\CLASSES\\IrfanView\\shell\\open\\command"))
            return {};
        const std::wstring program = ProgramFromOpenCommand(registry.ReadString(L""));
        return FileExists(program) ? program : std::wstring();
    } catch (const Exception&) {
        TraceIgnoredException(L"looking up the registered picture converter");
        return {};
    }
}

std::vector<std::wstring> Lines(const TStrings& strings)
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings[i]);
    return lines;
}

void SetLines(TStrings& strings, const std::vector<std::wstring>& lines)
{
    strings.Clear();
    for (const std::wstring& line : lines)
        strings.Add(line);
}

void CaptureListView(TCustomListView* list, TListViewState& state)
{
    if (!list)
        return;
    state.ColWidths.resize(list->ColumnCount());
    for (int i = 0; i < list->ColumnCount(); ++i)
        state.ColWidths[i] = list->ColumnWidth(i);
    state.ColOrder = list->ColumnOrder();
    state.ViewStyle = static_cast<int>(list->ViewStyle());
}

void ApplyListView(TCustomListView* list, const TListViewState& state)
{
    if (!list)
        return;
    const int count = std::min(list->ColumnCount(), static_cast<int>(state.ColWidths.size()));
    for (int i = 0; i < count; ++i)
        if (state.ColWidths[i] >= 0)
            list->SetColumnWidth(i, state.ColWidths[i]);
    if (static_cast<int>(state.ColOrder.size()) == list->ColumnCount())
        list->SetColumnOrder(state.ColOrder);
    if (state.ViewStyle >= 0 && state.ViewStyle <= static_cast<int>(TViewStyle::vsReport))
        list->SetViewStyle(static_cast<TViewStyle>(state.ViewStyle));
}

// The tool windows' positions written into the settings store itself, so an
// INI file is read and written once per save, not once for them and once
// for the rest.
TToolWindowPositionStore PositionStoreOver(TKyRegistry& store)
{
    TToolWindowPositionStore positions;
    positions.ReadInteger = [&store](const std::wstring& section, const std::wstring& name, int defaultValue) {
        return store.ReadInteger(section, name, defaultValue);
    };
    positions.ReadString = [&store](const std::wstring& section, const std::wstring& name,
                                    const std::wstring& defaultValue) {
        return store.ReadString(section, name, defaultValue);
    };
    positions.WriteInteger = [&store](const std::wstring& section, const std::wstring& name, int value) {
        store.WriteInteger(section, name, value);
    };
    positions.WriteString = [&store](const std::wstring& section, const std::wstring& name, const std::wstring& value) {
        store.WriteString(section, name, value);
    };
    return positions;
}

}  // namespace

TSettingsFacts TQRVMain::SettingsFacts()
{
    TSettingsFacts facts;
    facts.NTPlatform = true;  // the NT family; Windows 9x is not supported
    facts.FirstRun = FirstRun;
    facts.SecondFileWinShown = FilePanel2 && FilePanel2->Visible();
    facts.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    facts.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    const wchar_t drive = DriveInfo().DefaultDrive();
    facts.DefaultDriveRoot = std::wstring(1, drive == L' ' ? L'C' : drive) + L":\\";
    facts.WindowsDirectory = WindowsDirectory();
    facts.PersonalFolder = PersonalFolder();
    facts.FindOnSearchPath = [this](const std::wstring& program) -> std::wstring {
        wchar_t found[MAX_PATH];
        const DWORD length = ::SearchPathW(SearchPath.c_str(), program.c_str(), nullptr, MAX_PATH, found, nullptr);
        return length > 0 && length < MAX_PATH ? std::wstring(found, length) : std::wstring();
    };
    facts.RegisteredIrfanView = RegisteredIrfanView;
    return facts;
}

void TQRVMain::LoadSettings()
{
    FirstRun = true;
    bool allowed = true;
    try {
        TRegistry policy(KEY_READ);
        policy.SetRootKey(HKEY_LOCAL_MACHINE);
        if (policy.OpenKeyReadOnly(kPolicyKey)) {
            if (policy.ValueExists(L"ChangeUserSettings"))
                Options.ChangeUserSettings = policy.ReadBool(L"ChangeUserSettings");
            if (!Options.ChangeUserSettings) {
                Options.UseRegistry = false;
                allowed = false;
                FirstRun = false;
            }
        }
    } catch (const Exception&) {
        TraceIgnoredException(L"reading the settings policy");
        // an unreadable policy leaves the defaults
    }
    if (allowed) {
        try {
            TRegistry user(KEY_READ);
            if (user.OpenKeyReadOnly(kSettingsKey)) {
                FirstRun = false;
                // The user's choice of the store is kept beside "ShowLogo".
                Options.UseRegistry = user.ValueExists(L"UseRegistry") && user.ReadBool(L"UseRegistry");
            }
        } catch (const Exception&) {
            TraceIgnoredException(L"reading the user's choice of the settings store");
        }
    }

    SetSettingsFileName(ProgramDir + L"EditorSettings.txt");
    SetSettingsKey(kEditorSettingsKey);
    SetSettingsUseRegistry(Options.UseRegistry);
    SetSettingsRegistryStore(&EasyRegistry());

    if (!Options.UseRegistry && (!FileExists(IniFileName) || !IniFolderGiven.empty()))
        Application->MessageBox(IniFileMessage(IniFileName, IniFolderGiven, FileExists(IniFileName)), L"",
                                MB_OK | MB_ICONERROR);

    // The current values are the defaults of every value the store lacks; a
    // missing INI file is an empty store, so the defaults stay.
    CaptureStoredState();
    std::unique_ptr<TKyRegistry> store =
        CreateKyRegistry(Options.UseRegistry ? kSettingsKey : IniFileName, Options.UseRegistry);
    const TLoadResult result =
        LoadStoredSettings(*store, Options, StoredState, StdDirList, StdDirCaptions, SettingsFacts());
    if (result.FKeysCompleted)
        FKeysChanged = true;
    if (bookmarks_)
        bookmarks_->Commands().RebuildFromLists();
    ApplyStoredState();
}

void TQRVMain::LoadToolbarPositions()
{
    if (Options.UseRegistry)
        RegReadToolWindowPositions(this, kSettingsKey);
    else
        IniReadToolWindowPositions(this, IniFileName, L"");
}

void TQRVMain::CaptureStoredState()
{
    TMainWindowState& state = StoredState;
    RECT rect{Left(), Top(), Left() + Width(), Top() + Height()};
    if (HandleAllocated()) {
        // A maximised or minimised window keeps the bounds it returns to.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if ((IsZoomed(Handle()) || IsIconic(Handle())) && GetWindowPlacement(Handle(), &placement))
            rect = placement.rcNormalPosition;
        else
            GetWindowRect(Handle(), &rect);
    }
    state.Bounds = TBounds{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    if (PanelLeft)
        state.Splitter = PanelLeft->Width();
    if (PanelBottom)
        state.HSplitter = PanelBottom->Height();
    // The file windows are stacked: the first one's height is the split.
    if (layout_) {
        state.Splitter2Y = layout_->Commands().StoredSplit(kLayoutStacked);
        state.Splitter2X = layout_->Commands().StoredSplit(kLayoutSideBySide);
    }

    CaptureListView(LV1, state.List1);
    CaptureListView(LV2, state.List2);
    if (ZipLV) {
        state.ZipList.ColWidths.resize(ZipColumnCount);
        for (int i = 0; i < ZipColumnCount; ++i)
            state.ZipList.ColWidths[i] = ZipLV->ColWidth(i);
        std::array<int, ZipColumnCount> order{};
        if (ZipLV->GetColumnOrder(order))
            state.ZipList.ColOrder.assign(order.begin(), order.end());
        state.ZipList.SortColumn = ZipLV->SortColumn();
        state.ZipList.SortAscending = ZipLV->SortAscending();
    }
    // The folders the lists show now, so that the next start opens them;
    // a list that shows none keeps the folder it was opened on.
    state.ListPath1 = LV1 && !LV1->GetPath().empty() ? LV1->GetPath() : StartPaths.Dir1;
    state.ListPath2 = LV2 && !LV2->GetPath().empty() ? LV2->GetPath() : StartPaths.Dir2;

    if (DOSCmdBox)
        state.CommandLines = Lines(DOSCmdBox->Items());
    // Which controls the customisable toolbars show.
    if (toolbars_)
        for (int index = 0; index < kCustomToolbarCount; ++index) {
            std::vector<bool> shown;
            for (const TControl* control : toolbars_->CustomizedControls(index))
                shown.push_back(control->Visible());
            state.Toolbars[static_cast<size_t>(index)] = FlagText(shown);
        }
    if (DirHist1) {
        state.RecentDirs1 = Lines(DirHist1->Items());
        state.RecentDirLimit = DirHist1->DropDownCount();
    }
    if (DirHist2)
        state.RecentDirs2 = Lines(DirHist2->Items());
    state.Masks = Lines(SelMaskHistory);
    state.SelDirs = Lines(SelDirHistory);
    if (filterCommands_)
        filterCommands_->CaptureFilters(state.Filter1, state.Filter2);

    if (toolForms_)
        toolForms_->CaptureTextProperties(state.Editor);
    if (HexEditor1) {
        state.Hex.OffsetDisplay = static_cast<int>(HexEditor1->OffsetDisplay());
        state.Hex.BytesPerLine = HexEditor1->BytesPerLine();
        state.Hex.BytesPerCol = HexEditor1->GetBytesPerColumn();
        state.Hex.Translation = static_cast<int>(HexEditor1->Translation());
    }
}

void TQRVMain::FitPanesToWindow(const TPaneSizes& Wanted)
{
    const int bars = (Dock975 ? Dock975->Height() : 0) + (StatusBar ? StatusBar->Height() : 0);
    const TPaneSizes panes = FitPaneSizes(Wanted, ClientWidth(), ClientHeight() - bars);
    if (PanelLeft && panes.TreeWidth > 0)
        PanelLeft->SetWidth(panes.TreeWidth);
    if (PanelBottom && panes.DisplayHeight > 0)
        PanelBottom->SetHeight(panes.DisplayHeight);
    if (FilePanel1 && panes.FirstListHeight > 0)
        FilePanel1->SetHeight(panes.FirstListHeight);
}

void TQRVMain::ApplyStoredState()
{
    const TMainWindowState& state = StoredState;
    // Stored bounds are the window's place; without them the system places it.
    if (state.BoundsStored)
        SetPosition(TPosition::poDesigned);
    SetBounds(state.Bounds.Left, state.Bounds.Top, state.Bounds.Width, state.Bounds.Height);
    // The panes get what the window can show; that is what is saved again.
    FitPanesToWindow({state.Splitter, state.HSplitter, state.Splitter2Y});
    if (layout_)
        layout_->Commands().SetStoredSplits(state.Splitter2Y, state.Splitter2X);

    ApplyListView(LV1, state.List1);
    ApplyListView(LV2, state.List2);
    // Drives never watched for changes (network paths never are).
    if (TreeView1)
        TreeView1->SetNoCheckDrives(state.NoCheckDrives);
    for (TDirView* list : {LV1, LV2})
        if (list)
            list->SetNoCheckDrives(state.NoCheckDrives);
    if (ZipLV) {
        const int count = std::min(ZipColumnCount, static_cast<int>(state.ZipList.ColWidths.size()));
        for (int i = 0; i < count; ++i)
            if (state.ZipList.ColWidths[i] >= 0)
                ZipLV->SetColWidth(i, state.ZipList.ColWidths[i]);
        if (state.ZipList.ColOrder.size() == ZipColumnCount) {
            std::array<int, ZipColumnCount> order{};
            std::copy(state.ZipList.ColOrder.begin(), state.ZipList.ColOrder.end(), order.begin());
            ZipLV->SetColumnOrder(order);
        }
        ZipLV->SetSortColumn(state.ZipList.SortColumn);
        ZipLV->SetSortAscending(state.ZipList.SortAscending);
    }

    if (DOSCmdBox)
        SetLines(DOSCmdBox->Items(), state.CommandLines);
    if (DirHist1) {
        SetLines(DirHist1->Items(), state.RecentDirs1);
        if (DirHist1->Items().Count() > 0)
            DirHist1->SetItemIndex(0);
    }
    if (DirHist2) {
        SetLines(DirHist2->Items(), state.RecentDirs2);
        if (DirHist2->Items().Count() > 0)
            DirHist2->SetItemIndex(0);
    }
    SetLines(SelMaskHistory, state.Masks);
    SetLines(SelDirHistory, state.SelDirs);
    // The lists start with the filters they had at the last exit.
    if (filterCommands_ && Options.scRestoreFilter)
        filterCommands_->ApplyStoredFilters(state.Filter1, state.Filter2);

    if (HexEditor1) {
        try {
            if (state.Hex.OffsetDisplay >= 0 &&
                state.Hex.OffsetDisplay <= static_cast<int>(TOffsetDisplayStyle::odNone))
                HexEditor1->SetOffsetDisplay(static_cast<TOffsetDisplayStyle>(state.Hex.OffsetDisplay));
            if (state.Hex.Translation >= 0 && state.Hex.Translation <= static_cast<int>(TTranslationType::ttEBCDIC))
                HexEditor1->SetTranslation(static_cast<TTranslationType>(state.Hex.Translation));
            if (state.Hex.BytesPerCol >= 1)
                HexEditor1->SetBytesPerColumn(state.Hex.BytesPerCol);
            HexEditor1->SetBytesPerLine(state.Hex.BytesPerLine);  // raises outside 1..256
        } catch (const Exception&) {
            TraceIgnoredException(L"applying the stored hex view settings");
            // a stored value the view refuses leaves the rest of the hex settings
        }
    }
    if (toolForms_)
        toolForms_->ApplyStoredTextProperties(state.Editor);
    if (ToolbarCMDLine && state.CommandLineToolbar)
        ToolbarCMDLine->SetVisible(*state.CommandLineToolbar);
    // The customised toolbars' controls; a text that does not fit its
    // toolbar's controls is passed over.
    if (toolbars_)
        for (int index = 0; index < kCustomToolbarCount; ++index) {
            const std::optional<std::wstring>& stored = state.Toolbars[static_cast<size_t>(index)];
            const std::vector<TControl*>& controls = toolbars_->CustomizedControls(index);
            const std::optional<std::wstring> shown =
                stored ? ToolbarVisibilityText(*stored, controls.size()) : std::nullopt;
            if (!shown)
                continue;
            for (size_t i = 0; i < controls.size(); ++i)
                controls[i]->SetVisible((*shown)[i] == L'X');
        }
}

bool TQRVMain::SaveSettings()
{
    if (!Shown)
        return true;
    try {
        TRegistry user;
        if (user.OpenKey(kSettingsKey, true)) {
            user.WriteBool(L"ShowLogo", Options.ShowLogo);
            user.WriteBool(L"UseRegistry", Options.UseRegistry);
        }
    } catch (const Exception&) {
        TraceIgnoredException(L"storing the logo and store choice");
        // the logo and the store choice keep their last values
    }
    const bool useRegistry = Options.UseRegistry;
    std::unique_ptr<TKyRegistry> store;
    if (useRegistry) {
        try {
            RegWriteToolWindowPositions(this, kSettingsKey);
        } catch (const std::exception& error) {
            ReportSaveFailure(L"HKEY_CURRENT_USER" + kSettingsKey, Utf8ToWide(error.what()));
            return false;
        }
    }
    try {
        store = CreateKyRegistry(useRegistry ? kSettingsKey : IniFileName, useRegistry);
        if (!useRegistry)
            WriteToolWindowPositions(this, PositionStoreOver(*store));
        if (HandleAllocated())
            Options.Maximized = IsZoomed(Handle()) ? 2 : IsIconic(Handle()) ? 1 : 0;
        CaptureStoredState();
        SaveStoredSettings(*store, Options, StoredState, StdDirList, StdDirCaptions, SettingsFacts(),
                           TSaveFlags{FKeysChanged, FilterListChanged, BookmarksChanged});
        store->UpdateFile();
    } catch (const std::exception& error) {
        ReportSaveFailure(store ? store->StoreName() : IniFileName, Utf8ToWide(error.what()));
        return false;
    }
    return true;
}

void TQRVMain::ReportSaveFailure(const std::wstring& storeName, const std::wstring& cause)
{
    const bool registry = storeName.starts_with(L"HKEY_");
    std::wstring text = L"Die Einstellungen konnten nicht gespeichert werden. ";
    if (registry) {
        text +=
            L"Möglicherweise ist der Registrierungsschlüssel \"" + storeName + L"\" von Quorvan Free schreibgeschützt.";
    } else {
        text += L"Möglicherweise ist die Datei \"" + storeName +
                L"\" von Quorvan Free schreibgeschützt oder Sie haben keine Schreibberechtigung für ihr "
                L"Verzeichnis.\n\nFalls Sie keine Schreibberechtigung für das Programmverzeichnis besitzen, "
                L"aktivieren Sie die Einstellung \"Benutzerabhängige Einstellungen\". Klicken Sie auf \"Hilfe\" "
                L"um mehr über diese Einstellung zu erfahren.";
    }
    // What the system said, so the box names the real cause.
    if (!cause.empty())
        text += L"\n\n" + cause;
    Application->MessageBox(text, L"", MB_OK | MB_HELP | MB_ICONERROR, 1100);
}

}  // namespace qrv
