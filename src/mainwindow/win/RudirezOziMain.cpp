#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "common/win/KySyncObjs.h"
#include "common/win/SimpleTimer.h"
#include "dialogs/win/ViewManForm.h"
#include "editor/win/EasyEditor.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "framework/win/Menus.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/Threads.h"
#include "mainwindow/win/ArchiveListEvents.h"
#include "mainwindow/win/ErrorReports.h"
#include "mainwindow/win/PathTextCommands.h"
#include "mainwindow/win/ToolFormsLink.h"
#include "mainwindow/win/TrayCommands.h"
#include "panels/KyDriveInfo.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/SentMessageWait.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "viewers/win/KyOleCtnrs.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyShell.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <algorithm>

namespace qrv {

namespace {

// Room left and right of a function key's label, in pixels.
constexpr int kFKeyLabelMargin = 6;

template <class T>
T* Place(TComponent* owner, TWinControl* parent, const wchar_t* name, TAlign align)
{
    auto* control = new T(owner);
    control->SetName(name);
    control->SetAlign(align);
    control->SetParent(parent);
    return control;
}

TPanel* PlacePanel(TComponent* owner, TWinControl* parent, const wchar_t* name, TAlign align)
{
    TPanel* panel = Place<TPanel>(owner, parent, name, align);
    panel->SetBevelOuter(TPanelBevel::bvNone);
    return panel;
}

}  // namespace

TQRVMain::TQRVMain(TComponent* owner) : TForm(owner)
{
    SetName(L"QRVMain");
    SetCaption(L"Quorvan Free");
    SetPosition(TPosition::poDefaultPosOnly);
    SetBounds(0, 0, 900, 650);
    OnClose = [this](TComponent*, TCloseAction&) { FormClose(); };
    // The start-up is a row of steps on this thread; between them it
    // answers what other programs and threads send to its windows, so that
    // none of them waits for the whole start-up: also between the windows
    // it makes, until the first show is done (later a window made inside
    // some command must not let other work in halfway).
    TWinControl::WindowCreatedHook = AnswerSentMessages;
    CreateMenus();
    CreatePanes();
    AnswerSentMessages();
    driveBar_ = std::make_unique<TDriveBar>(this, Panes(), Services(), static_cast<TDriveBarHost&>(*this),
                                            ToolbarDrives, ShortCuts1);
    driveBar_->CreateDriveBox();
    fileCommands_ = std::make_unique<TFileCommands>(Panes(), Services(), static_cast<TFileCommandsHost&>(*this));
    userCommands_ = std::make_unique<TUserCommandsLink>(*this, Panes(), Services(), DOSCmdBox, SelectionListFile);
    TUserCommands::DeleteStaleBatchFiles();
    navigation_ = std::make_unique<TNavigationLink>(this, Panes(), Services(), catalogue_, DOSCmdBox,
                                                    userCommands_->Commands(), *driveBar_, ProgramDir);
    navigation_->Commands().Attach();
    navigation_->Commands().AttachCommandButtons(ToolbarCMDLine, *commandMenus_);
    CreateLayout();
    TWindowKeysParts keyParts;
    keyParts.Form = this;
    keyParts.CommandBox = DOSCmdBox;
    keyParts.DriveBox = driveBar_->DriveBox;
    keyParts.RunDueActionPass = [this] {
        if (!actionTimer_ || !actionTimer_->Active())
            return false;
        actionTimer_->Stop();
        UpdateTimerTimer();
        return true;
    };
    windowKeys_ = std::make_unique<TWindowKeysLink>(Panes(), catalogue_, *commandMenus_, UserCommands(), Options,
                                                    std::move(keyParts));
    ConnectFileCommands();
    compare_ =
        std::make_unique<TCompareLink>(Panes(), Services(), catalogue_, *commandMenus_,
                                       TCompareLinkWindow{Splitter2, ToolbarDatei, &TitleBase, &StoredState.Compare});
    splitJoin_ = std::make_unique<TSplitJoinLink>(Panes(), Services(), catalogue_);
    toolForms_ = std::make_unique<TToolFormsLink>(Panes(), Services(), catalogue_, *fileCommands_);
    driveBar_->OnRefillDriveOverview = [this] { toolForms_->RefillDriveOverview(); };
    paneDrops_ = std::make_unique<TPaneDropsLink>(Panes(), Services(), *fileDisplay_, *fileCommands_);
    TFileToolsWindow toolsWindow;
    toolsWindow.SwitchDisplayOn = [this] { ViewFileExecute(); };
    toolsWindow.JoinSplitFile = [this] { splitJoin_->Commands().CombineFileExecute(); };
    toolsWindow.UpdateSelectionStatus = [this] { UpdateSelectionStatus(); };
    toolsWindow.PauseDirSizeScan = [this](TDirView* Active) {
        if (listWork_)
            listWork_->PauseDirSizeScan(Active);
    };
    toolsWindow.ResumeDirSizeScan = [this](TDirView* Active) {
        if (listWork_)
            listWork_->ResumeDirSizeScan(Active);
    };
    toolsWindow.StoredState = &StoredState;
    toolsWindow.FileListName = &FileListName;
    toolsWindow.ProgramDir = &ProgramDir;
    fileTools_ = std::make_unique<TFileToolsLink>(Panes(), Services(), catalogue_, *commandMenus_, *fileDisplay_,
                                                  *fileCommands_, std::move(toolsWindow));
    // The histories follow a renamed folder before the lists do.
    RenameCommands().OnFolderRenamed = [this](const std::wstring& OldPath, const std::wstring& NewPath) {
        if (navigation_)
            navigation_->Commands().FolderRenamed(OldPath, NewPath);
    };
    filterCommands_ = std::make_unique<TFilterCommands>(Panes(), static_cast<TFilterCommandsHost&>(*this), FilterBox);
    ConnectFilterCommands();
    ConnectWindowServices();
    CreatePopups();
    CreateNewFileMenu();
    TBookmarkWindowParts bookmarkParts;
    bookmarkParts.Owner = this;
    bookmarkParts.ListPopup = ListPopup;
    bookmarkParts.Toolbar = ToolbarBookmarks;
    bookmarkParts.TreeOnNetwork = [this] { return driveBar_ && driveBar_->DriveBoxDrive() == kNetworkDrive; };
    bookmarkParts.MarkChanged = [this] { BookmarksChanged = true; };
    bookmarkParts.SaveSettings = [this] { return SaveSettings(); };
    bookmarks_ = std::make_unique<TBookmarkCommandsLink>(Panes(), Services(), catalogue_, *commandMenus_,
                                                         std::move(bookmarkParts));
    // Every built command has its handler now; one missing is named.
    for (const TActionId missing : catalogue_.MissingHandlers())
        TraceIgnoredFailure(L"a command without a handler", static_cast<uint32_t>(missing));
    // A failure in FormCreate is reported, and the start-up goes on: the
    // window must come up with whatever stands.
    try {
        FormCreate();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    formCreated_ = true;
    AnswerSentMessages();
    InitializeMainWindow();
}

void TQRVMain::ConnectWindowServices()
{
    pathTexts_ = std::make_unique<TPathTextCommands>(Panes(), Services());
    pathTexts_->ShowStatusText = [this](const std::wstring& Text, unsigned Milliseconds) {
        if (statusArea_)
            statusArea_->ShowPanelText(1, Text);
        if (statusTimer_)
            statusTimer_->Start(Milliseconds);
    };
    pathTexts_->Register(catalogue_);

    // Errors are reported from here on, until the shutdown.
    errorReports_ = std::make_unique<TErrorReports>(Services());
    errorReports_->Counter().SetReporting(true);
    errorReports_->ConfirmAuthority = [] { return Options.ConfirmAuthority; };
    // "Ja" closes the window as its close command does.
    errorReports_->Quit = [this] { Close(); };
    if (Application)
        Application->OnException = [this](TComponent*, const std::exception& Error) {
            if (errorReports_)
                errorReports_->AppExceptionHandler(Error);
        };

    tray_ = std::make_unique<TTrayCommands>(*this, *TrayIcon1);

    archiveEvents_ = std::make_unique<TArchiveListEvents>(Panes(), Services(), Options);
    archiveEvents_->ShowStatusText = [this](const std::wstring& Text) {
        if (statusArea_)
            statusArea_->ShowPanelText(1, Text);
    };
    archiveEvents_->UpdateSelectionStatus = [this] { UpdateSelectionStatus(); };
    archiveEvents_->ChooseFolder = [this](TSelDirParams& Params, const TSelDirConsts& Consts) {
        return fileTools_->ChooseArchiveFolder(Params, Consts);
    };
    archiveEvents_->SetLastTarget = [this](const std::wstring& Folder) { fileTools_->Tools().SetLastTarget(Folder); };
    archiveEvents_->RebuildFilterBox = [this] {
        if (filterCommands_)
            filterCommands_->RebuildFilterBox();
    };
    archiveEvents_->DeleteEnabled = [this] {
        const TAction* action = commandMenus_->Action(TActionId::DeleteObjectPhysical);
        return action && action->Enabled();
    };
    archiveEvents_->Connect();
    catalogue_.Register(TActionId::ArchiveAbort, [this] { archiveEvents_->AbortExecute(); });

    catalogue_.Register(TActionId::DOSClose, [this] {
        Options.DosClose = !Options.DosClose;
        UpdateDosCloseAction(Options.DosClose);
    });
    catalogue_.Register(TActionId::SBAbbreviated, [this] {
        Options.SBAbbreviated = !Options.SBAbbreviated;
        UpdateSelectionStatus();
    });
    // The status bar's popup, its item checked by the option when it opens.
    StatusBarPopup = new TPopupMenu(this);
    StatusBarPopup->SetName(L"StatusBarPopup");
    auto* abbreviated = new TMenuItem(this);
    abbreviated->SetName(L"SBAbbreviated1");
    StatusBarPopup->Items()->Add(abbreviated);
    if (TAction* action = commandMenus_->Action(TActionId::SBAbbreviated))
        action->Link(abbreviated);
}

void TQRVMain::StatusBarPopupPopup(int X, int Y)
{
    if (TAction* action = commandMenus_->Action(TActionId::SBAbbreviated))
        action->SetChecked(Options.SBAbbreviated);
    StatusBarPopup->Popup(X, Y, Handle());
}

TQRVMain::~TQRVMain()
{
    if (TWinControl::WindowCreatedHook == AnswerSentMessages)
        TWinControl::WindowCreatedHook = nullptr;
    FormDestroy();
}

void TQRVMain::CreateMenus()
{
    // The commands of the catalogue; each area registers its handlers as it
    // is connected.
    ActionList1 = new TActionList(this);
    ActionList1->SetName(L"ActionList1");
    commandMenus_ = std::make_unique<TCommandMenus>(*this, *ActionList1, catalogue_);
    catalogue_.Register(TActionId::FileExit, [this] { Close(); });
    commandMenus_->Action(TActionId::FileExit)->SetHint(L"Programm beenden");
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName(L"MainMenu1");
    commandMenus_->BuildMainMenu(*MainMenu1);
    ShortCuts1 = commandMenus_->MainMenuItem(TMenuId::Drives);
    SetMenu(MainMenu1);
}

void TQRVMain::CreatePopups()
{
    // The lists' and the tree's own menus, until the shell's context menu
    // of the selection takes their place.
    ListPopup = commandMenus_->BuildPopup(ppList, L"LVPopup");
    TreePopup = commandMenus_->BuildPopup(ppTree, L"TVPopup");
    for (TDirView* list : {LV1, LV2})
        list->SetPopupMenu(ListPopup);
    TreeView1->SetPopupMenu(TreePopup);
}

void TQRVMain::CreatePanes()
{
    StatusBar = Place<TStatusBar>(this, this, L"StatusBar", TAlign::alBottom);
    StatusBar->AddPanel(250);
    StatusBar->AddPanel(250);
    StatusBar->AddPanel(200);

    CreateToolbars();

    // The display pane below, the folder tree at the left, the file windows
    // in the middle; splitters between them.
    PanelBottom = PlacePanel(this, this, L"PanelBottom", TAlign::alBottom);
    PanelBottom->SetHeight(170);
    CreateDisplayPane();
    AnswerSentMessages();
    Splitter3 = Place<TKySplitter>(this, this, L"Splitter3", TAlign::alBottom);
    // Each splitter sizes the pane it was placed beside (placed before it has
    // a parent, it cannot look for the neighbour itself).
    Splitter3->SetControlFirst(PanelBottom);

    PanelLeft = PlacePanel(this, this, L"PanelLeft", TAlign::alLeft);
    PanelLeft->SetWidth(220);
    TreeView1 = Place<TDriveView>(this, PanelLeft, L"TreeView1", TAlign::alClient);
    // Whether a folder has subfolders is asked, and a folder's subfolders
    // are read, on the tree's workers: a large folder beside or above the
    // start folder would otherwise hold the window.
    TreeView1->SetSubDirScanDelayed(true);
    TreeView1->SetReadInBackground(true);
    AnswerSentMessages();
    Splitter1 = Place<TKySplitter>(this, this, L"Splitter1", TAlign::alLeft);
    Splitter1->SetLeft(PanelLeft->Width());
    Splitter1->SetControlFirst(PanelLeft);

    MainPanel = PlacePanel(this, this, L"MainPanel", TAlign::alClient);
    FilePanel1 = PlacePanel(this, MainPanel, L"FilePanel1", TAlign::alTop);
    FilePanel1->SetHeight(220);
    DirHist1 = Place<TComboBox>(this, FilePanel1, L"DirHist1", TAlign::alTop);
    LV1 = Place<TDirView>(this, FilePanel1, L"LV1", TAlign::alClient);
    Splitter2 = Place<TKySplitter>(this, MainPanel, L"Splitter2", TAlign::alTop);
    Splitter2->SetTop(FilePanel1->Height());
    Splitter2->SetControlFirst(FilePanel1);
    FilePanel2 = PlacePanel(this, MainPanel, L"FilePanel2", TAlign::alClient);
    DirHist2 = Place<TComboBox>(this, FilePanel2, L"DirHist2", TAlign::alTop);
    LV2 = Place<TDirView>(this, FilePanel2, L"LV2", TAlign::alClient);
    ConnectFileDisplay();
    ConnectStatusArea();

    TrayIcon1 = new TKyTrayIcon(this);
    TrayIcon1->SetName(L"TrayIcon1");
}

void TQRVMain::CreateLayout()
{
    TLayoutWindow window;
    window.Shown = [this] { return Shown; };
    window.ClientRoomWidth = [this] { return ClientWidth(); };
    window.ClientRoomHeight = [this] {
        return ClientHeight() - (Dock975 ? Dock975->Height() : 0) - (StatusBar ? StatusBar->Height() : 0);
    };
    window.ApplyAllOptions = [this] { ApplyOptions(); };
    window.MakeActiveList = [this](TDirView* List) { MakeActiveList(List); };
    window.ShowFocusedFile = [this] {
        if (ActiveList)
            ListView1Change(ActiveList, true);
    };
    window.ClearDisplay = [this] { ClearDisplay(); };
    window.DisplayFrozen = [this] { return fileDisplay_ && fileDisplay_->FreezeDisplay(); };
    // Unfreezing shows the focused file again.
    window.SetDisplayFrozen = [this](bool Frozen) {
        if (fileDisplay_ && fileDisplay_->FreezeDisplay() != Frozen)
            fileDisplay_->FreezeDisplayExecute();
    };
    window.PauseStatusPass = [this] {
        if (statusTimer_)
            statusTimer_->Stop();
    };
    window.ResumeStatusPass = [this](unsigned Milliseconds) {
        if (statusTimer_)
            statusTimer_->Start(Milliseconds);
    };
    window.LayOutDriveToolbars = [this] {
        if (driveBar_)
            driveBar_->DockDriveToolbars();
    };
    window.ColorPanes = [this] {
        for (TDirView* list : {LV1, LV2})
            ColorPane(list);
    };
    window.PostColumnLayout = [this](TDirView* Source, TDirView* Target) {
        PostColumnLayout(Source == LV2 ? liList2 : liList1, Target == LV2 ? liList2 : liList1);
    };
    window.RunViewManager = [this](TViewLayout& Layout) {
        TViewManForm form(this, ProgramDir);
        return form.Execute(Layout);
    };
    layout_ = std::make_unique<TLayoutLink>(TLayoutControls{MainPanel, Splitter1, Splitter2, Splitter3}, Panes(),
                                            Services(), catalogue_, *commandMenus_, Options, std::move(window));
}

void TQRVMain::CreateToolbars()
{
    Dock975 = Place<TKyDock>(this, this, L"Dock975", TAlign::alTop);
    Dock975->SetPosition(TDockPosition::dpTop);

    auto makeToolbar = [this](const wchar_t* name, const wchar_t* caption, int row) {
        auto* toolbar = new TKyToolbar(this);
        toolbar->SetName(name);
        toolbar->SetCaption(caption);
        toolbar->SetDockRow(row);
        toolbar->SetDockedTo(Dock975);
        return toolbar;
    };
    ToolbarDatei = makeToolbar(L"ToolbarDatei", L"Datei", 0);
    ToolbarDrives = makeToolbar(L"ToolbarDrives", L"Laufwerke", 0);
    ToolBarFKeys = makeToolbar(L"ToolBarFKeys", L"Programme", 1);
    ToolbarCMDLine = makeToolbar(L"ToolbarCMDLine", L"Kommandozeile", 1);
    ToolbarAuswahl = makeToolbar(L"ToolbarAuswahl", L"Auswahl", 1);
    ToolbarBookmarks = makeToolbar(L"ToolbarBookmarks", L"Lesezeichen", 2);
    ToolbarDateianzeige = makeToolbar(L"ToolbarDateianzeige", L"Dateianzeige", 3);
    ToolbarAnsicht = makeToolbar(L"ToolbarAnsicht", L"Ansicht", 3);
    ToolbarBearbeiten = makeToolbar(L"ToolbarBearbeiten", L"Bearbeiten", 3);
    ToolBarNetwork = makeToolbar(L"ToolBarNetwork", L"Netz", 3);
    DOSCmdBox = new TComboBox(this);
    DOSCmdBox->SetName(L"DOSCmdBox");
    DOSCmdBox->SetWidth(260);
    DOSCmdBox->SetParent(ToolbarCMDLine);

    // The command buttons of the table; the filter box follows the
    // selection's buttons.
    TToolbarWindowParts parts;
    parts.Owner = this;
    parts.Toolbars = {ToolbarDatei,   ToolbarDateianzeige, ToolbarAuswahl, ToolbarAnsicht, ToolbarBearbeiten,
                      ToolBarNetwork, ToolbarCMDLine,      ToolbarDrives,  ToolBarFKeys,   ToolbarBookmarks};
    parts.TopDock = Dock975;
    parts.Options = &Options;
    parts.SecondDriveToolbar = [this] { return driveBar_ ? driveBar_->ToolbarDrives2 : nullptr; };
    parts.LayOutDriveToolbars = [this] {
        if (driveBar_)
            driveBar_->DockDriveToolbars();
    };
    parts.CommandLineToggled = [this] { UpdateCommandLineDropTarget(); };
    parts.FilterBox = [this] { return FilterBox; };
    parts.CommandButtonPanel = [this] { return dynamic_cast<TControl*>(FindComponent(L"DOSPanelButtons")); };
    parts.TextHasFocus = [this] { return TextControlFocused(); };
    toolbars_ = std::make_unique<TToolbarCommands>(catalogue_, *commandMenus_, std::move(parts));
    toolbars_->CreateButtons();
    FilterBox = new TFilterComboBox(this);
    FilterBox->SetName(L"cbFilter");
    FilterBox->SetWidth(120);
    FilterBox->SetParent(ToolbarAuswahl);
}

void TQRVMain::CreateNewFileMenu()
{
    TNewFileMenuParts parts;
    parts.Owner = this;
    parts.MainMenu = commandMenus_->MainMenuItem(TMenuId::FileNew);
    parts.PopupMenu = dynamic_cast<TMenuItem*>(FindComponent(MenuRow(TMenuId::FileNew).PopupName));
    parts.Popup = ListPopup;
    for (const auto& [id, glyph] :
         {std::pair{TActionId::NewFile, TGlyph::NewFile}, std::pair{TActionId::NewLink, TGlyph::NewLink},
          std::pair{TActionId::NewDir, TGlyph::NewFolder}}) {
        TNewFileMenuParts::TCommandPicture picture;
        picture.MainItem = commandMenus_->MainMenuItem(id);
        picture.Glyph = glyph;
        // The popup's item of the command: the one of its caption.
        for (int i = 0; parts.PopupMenu && i < parts.PopupMenu->Count(); ++i)
            if (parts.PopupMenu->Items(i)->Caption().rfind(ActionRow(id).Caption, 0) == 0)
                picture.PopupItem = parts.PopupMenu->Items(i);
        parts.Pictures.push_back(picture);
    }
    newFileMenu_ = std::make_unique<TNewFileMenu>(Panes(), Services(), *fileCommands_, std::move(parts));
}

void TQRVMain::CreateFunctionKeyButtons()
{
    if (!ToolBarFKeys)
        return;
    TUpdateLock<TKyToolbar> lock(*ToolBarFKeys, &TKyToolbar::BeginUpdate, &TKyToolbar::EndUpdate);
    FKeyLabel = new TKyToolbarButton(this);
    FKeyLabel->SetName(L"FKeyLabel");
    FKeyLabel->SetCaption(FunctionKeyLabel(kShiftSet));
    FKeyLabel->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
    // Wide enough for the longer of the two labels.
    const SIZE longest = MeasureText(FKeyLabel->Font().Handle(), FunctionKeyLabel(kCtrlSet));
    FKeyLabel->SetWidth(std::max(FKeyLabel->Width(), static_cast<int>(longest.cx) + 2 * kFKeyLabelMargin));
    FKeyLabel->SetParent(ToolBarFKeys);
    for (int key = 1; key <= 12; ++key) {
        auto* button = new TKyToolbarButton(this);
        button->SetName(L"btnF" + IntToStr(key));
        button->SetCaption(L"F" + IntToStr(key));
        button->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        button->Tag = key;
        // Wide enough for its label in the button's font, with room on both
        // sides: "F10", "F11" and "F12" never run into each other.
        const SIZE label = MeasureText(button->Font().Handle(), button->Caption());
        button->SetWidth(std::max(button->Width(), static_cast<int>(label.cx) + 2 * kFKeyLabelMargin));
        button->SetParent(ToolBarFKeys);
        FKeyButtons.push_back(button);
    }
    userCommands_->Commands().Attach(ToolBarFKeys, FKeyLabel, FKeyButtons,
                                     commandMenus_->MainMenuItem(TMenuId::Programs));
}

void TQRVMain::CreateDisplayPane()
{
    // The viewers fill the display pane; one of them is shown at a time, the
    // text view to begin with.
    TextView = Place<TTextFileView>(this, PanelBottom, L"TextView", TAlign::alClient);
    ScrollBox1 = Place<TScrollBox>(this, PanelBottom, L"ScrollBox1", TAlign::alClient);
    Image1 = Place<TImage>(this, ScrollBox1, L"Image1", TAlign::alNone);
    HexEditor1 = Place<THexEditor>(this, PanelBottom, L"HexEditor1", TAlign::alClient);
    WebPanel = PlacePanel(this, PanelBottom, L"WebPanel", TAlign::alClient);
    DirPanel = Place<TKyDirPanel>(this, PanelBottom, L"DirPanel", TAlign::alClient);
    LinkPanel = Place<TKyLinkPanel>(this, PanelBottom, L"LinkPanel", TAlign::alClient);
    ErrorPanel = PlacePanel(this, PanelBottom, L"ErrorPanel", TAlign::alClient);
    ErrorpanelCaption = Place<TLabel>(this, ErrorPanel, L"ErrorpanelCaption", TAlign::alClient);
    ZipLV = Place<TKyZipLV>(this, PanelBottom, L"ZipLV", TAlign::alClient);
    MediaPanel = PlacePanel(this, PanelBottom, L"MediaPanel", TAlign::alClient);
    OLEPanel = Place<TKyOLEContainer>(this, PanelBottom, L"OLEPanel", TAlign::alClient);
    EasyEdit = Place<TEasyEdit>(this, PanelBottom, L"EasyEdit", TAlign::alClient);
    for (TWinControl* viewer : std::initializer_list<TWinControl*>{
             ScrollBox1, HexEditor1, WebPanel, DirPanel, LinkPanel, ErrorPanel, ZipLV, MediaPanel, OLEPanel, EasyEdit})
        viewer->SetVisible(false);
}

}  // namespace qrv
