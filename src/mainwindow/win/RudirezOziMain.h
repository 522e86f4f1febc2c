#pragma once
// TQRVMain: the program's main window. The unit is split by subject:
//   RudirezOziMain.cpp  construction and the panes,
//   MainStartup.cpp     start-up (FormCreate with the timers,
//                       InitializeMainWindow, first show),
//   MainSettings.cpp    loading and saving the settings,
//   ApplyOptions.cpp    pushing the settings record into the controls,
//   MainShutdown.cpp    shutdown (FormClose, FormDestroy, ShutdownMainWindow),
//   MainDispatch.cpp    the window procedure: private messages, device
//                       changes, activation, the close query,
//   MainServices.cpp    the services every part uses: message box, file
//                       comparison, column layout, title, status bar,
// The drive list, drive buttons and drive menu items are a collaborator of
// their own, TDriveBar (DriveBar.cpp), which reaches the window through the
// narrow TDriveBarHost; further command areas follow that pattern: the file
// display is TFileDisplay (FileDisplay.cpp), its host is in MainDisplay.cpp.
// The commands are rows of the action catalogue (mainwindow/ActionCatalogue.h):
// CreateMenus builds their actions and the main menu from it (TCommandMenus),
// and each area registers its handlers against the commands' ids.
// Start-up, settings, options and shutdown may call the dispatch and the
// services, and the dispatch the services. Every area gets the panes
// (TMainPanes, a base of the window) and the window's services
// (TMainWindowServices); an area's own host is answered by a link class
// beside the area (SplitJoinLink, PaneDropsLink, CompareLink,
// UserCommandsLink). The hosts
// still answered by the window (MainDisplay.cpp, MainFileCommands.cpp,
// MainStatus.cpp, MainRefresh.cpp,
// MainFilterCommands.cpp, and MainServices.cpp) call each other and the
// services both ways until they move; scripts/lint lets no other file
// define a member of the window.

#include "framework/Colors.h"
#include "framework/StringList.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/MessageDialog.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/OptionsExchange.h"
#include "mainwindow/PaneSizes.h"
#include "mainwindow/SaveQuestion.h"
#include "mainwindow/StartupArgs.h"
#include "mainwindow/win/ListBackgroundWork.h"
#include "mainwindow/win/ListThumbnails.h"
#include "mainwindow/win/PictureConverter.h"
#include "mainwindow/win/ActionUpdater.h"
#include "mainwindow/win/BookmarkCommandsLink.h"
#include "mainwindow/win/CommandMenus.h"
#include "mainwindow/win/CompareLink.h"
#include "mainwindow/win/DriveBar.h"
#include "mainwindow/win/FileCommands.h"
#include "mainwindow/win/FileDisplay.h"
#include "mainwindow/win/FileToolsLink.h"
#include "mainwindow/win/FilterCommands.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/LayoutLink.h"
#include "mainwindow/win/NavigationLink.h"
#include "mainwindow/win/ListViewCommands.h"
#include "mainwindow/win/PaneDropsLink.h"
#include "mainwindow/win/SplitJoinLink.h"
#include "mainwindow/win/StatusArea.h"
#include "mainwindow/win/TextCommandsLink.h"
#include "mainwindow/win/NewFileMenu.h"
#include "mainwindow/win/ToolbarCommands.h"
#include "mainwindow/win/UserCommandsLink.h"
#include "mainwindow/win/WindowKeysLink.h"
#include "settings/StoredSettings.h"

#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TComboBox;
class TDirView;
class TDriveView;
class TEasyEdit;
class THexEditor;
class TKyDirPanel;
class TKyDock;
class TKyLinkPanel;
class TKyListView;
class TKyOLEContainer;
class TKySplitter;
class TKyToolbar;
class TKyToolbarButton;
class TKyTrayIcon;
class TKyZipLV;
class TAction;
class TActionList;
class TLabel;
class TMutex;
class TScrollBox;
class TImage;
class TSimpleTimer;
class TTextFileView;
class TThread;
class TToolFormsLink;
class TPathTextCommands;
class TErrorReports;
class TTrayCommands;
class TArchiveListEvents;

// The lists a posted column-layout message names (never their addresses:
// the message may arrive after a list is gone).
enum TListId : WPARAM { liNone = 0, liList1 = 1, liList2 = 2, liArchive = 3 };

class TQRVMain : public TForm,
                 public TMainPanes,
                 private TMainWindowServices,
                 private TDriveBarHost,
                 private TFileDisplayHost,
                 private TFileCommandsHost,
                 private TStatusAreaHost,
                 private TActionUpdaterHost,
                 private TSaveQuestionHost,
                 private TTextCommandsWindow,
                 private TListViewCommandsHost,
                 private TFilterCommandsHost {
public:
    explicit TQRVMain(TComponent* owner);
    ~TQRVMain() override;

    // State set up at start (read by the commands of later parts).
    std::wstring SearchPath;
    std::wstring ProgramDir;
    std::wstring TitleBase;
    std::wstring BatchFileName;
    std::wstring SelectionListFile;
    std::wstring FileListName;
    std::wstring EditorProgram;
    std::wstring IniFileName;
    // A folder that "/I=" named instead of a settings file.
    std::wstring IniFolderGiven;
    bool ShowFileOnStart = true;
    std::wstring StartFileName;
    TStringList ExcludeList;
    TStringList SelMaskHistory;
    TStringList SelDirHistory;
    TStringList FileListSettings1;
    TStringList FileListSettings2;
    uint32_t StartedAt = 0;
    bool Shown = false;
    bool ShuttingDown = false;
    bool FirstRun = false;
    // The start folders computed from the command line and the settings.
    TStartPaths StartPaths;
    // True once this instance has written the batch file of console commands.
    bool BatchFileCreated = false;

    // The settings store (MainSettings.cpp): the window's own stored values,
    // and the sections that are rewritten only after a change.
    TMainWindowState StoredState;
    bool FKeysChanged = false;
    bool FilterListChanged = false;
    bool BookmarksChanged = false;
    // Chooses the store (INI file or registry) and reads every section.
    void LoadSettings();
    // Writes every section; only once the window was shown. A failure is
    // reported, and false returned.
    [[nodiscard]] bool SaveSettings();
    void LoadToolbarPositions();

    TMutex* ConverterMutex() const { return converterMutex_.get(); }
    TMutex* InstanceMutex() const { return instanceMutex_.get(); }
    TSimpleTimer* ActionTimer() const { return actionTimer_.get(); }
    TSimpleTimer* OleDisplayTimer() const { return oleDisplayTimer_.get(); }
    TSimpleTimer* StatusTimer() const { return statusTimer_.get(); }
    TSimpleTimer* DriveTimer() const { return driveTimer_.get(); }

    // The panes of the window besides those of TMainPanes.
    TMainMenu* MainMenu1 = nullptr;
    TStatusBar* StatusBar = nullptr;
    TKyDock* Dock975 = nullptr;  // the top dock
    TKySplitter* Splitter1 = nullptr;
    TPanel* MainPanel = nullptr;
    TKySplitter* Splitter2 = nullptr;
    TKySplitter* Splitter3 = nullptr;
    TKyToolbar* ToolbarDatei = nullptr;
    TKyToolbar* ToolbarDrives = nullptr;
    TKyToolbar* ToolBarFKeys = nullptr;
    TKyToolbar* ToolbarCMDLine = nullptr;
    TKyToolbar* ToolbarBookmarks = nullptr;
    TKyToolbar* ToolbarDateianzeige = nullptr;
    TKyToolbar* ToolbarAuswahl = nullptr;
    TKyToolbar* ToolbarAnsicht = nullptr;
    TKyToolbar* ToolbarBearbeiten = nullptr;
    TKyToolbar* ToolBarNetwork = nullptr;
    TComboBox* DOSCmdBox = nullptr;
    TComboBox* FilterBox = nullptr;
    TKyTrayIcon* TrayIcon1 = nullptr;
    TMenuItem* ShortCuts1 = nullptr;  // the drive menu
    TPopupMenu* ListPopup = nullptr;  // both file lists'
    TPopupMenu* TreePopup = nullptr;
    TPopupMenu* StatusBarPopup = nullptr;  // "&Verkürzt darstellen"
    std::vector<TKyToolbarButton*> FKeyButtons;
    TKyToolbarButton* FKeyLabel = nullptr;  // "Umsch" / "Strg": a click shows the other set

    // What every command area gets: the panes and the window's services.
    TMainPanes& Panes() { return *this; }
    TMainWindowServices& Services() { return *this; }
    TForm* Window() override { return this; }

    // The commands: their handlers by id, their actions and menu items.
    const TActionCatalogue& Catalogue() const { return catalogue_; }
    TCommandMenus& CommandMenus() { return *commandMenus_; }

    // The shutdown sequence; runs once, whoever calls it first.
    void ShutdownMainWindow();

    // ---- Services (MainServices.cpp) --------------------------------------
    // A message box centred by the system; a file or archive list that has
    // the focus refuses the marquee selection the closing click would start.
    int ShowMessageBox(const std::wstring& Text, TMsgDlgType Type, int HelpContext, TMsgDlgButtons Buttons) override;
    // Posts the column-layout copy from one list to others.
    void PostColumnLayout(TListId Source, TListId Target);
    void SyncColumnLayout(TListId Source, TListId Target);
    void UpdateWindowTitle();
    // Set by every device change; read by the drive overview.
    bool DrivesChanged = false;
    // Filled by the later commands; here they are the targets of the posted
    // messages and the timers.
    void ViewFileExecute();
    void ShowFocusedFile();
    void UpdateTimerTimer();
    void OleDisplayTimerTimer();
    void UpdateSelectionStatus();
    void RefreshStatusBar() override;

    // ---- Status bar, action states, support routines (MainStatus.cpp) ------
    TStatusArea* StatusArea() const { return statusArea_.get(); }
    // The "als Text" commands, the error reports, the tray, the archive
    // list's events (made with the window, before FormCreate).
    TPathTextCommands* PathTexts() const { return pathTexts_.get(); }
    TErrorReports* ErrorReports() const { return errorReports_.get(); }
    TTrayCommands* Tray() const { return tray_.get(); }
    TArchiveListEvents* ArchiveEvents() const { return archiveEvents_.get(); }
    TActionUpdater* ActionUpdater() const { return actionUpdater_.get(); }
    // Panel 0 by focus; RefreshDrive re-reads the drive's space.
    void UpdateStatusBar(bool RefreshDrive);
    // Asks to save a changed text of the display pane; false when the
    // pending action must stop (Cancel, or the save failed).
    bool QuerySaveModifiedText() override;
    // The options dialog (F12); set by whoever provides the dialog. The
    // exchange applies and saves the settings only when the record changed.
    std::unique_ptr<TOptionsDialogRunner> OptionsDialog;
    TAction* OptionsDlg = nullptr;
    void OptionsDlgExecute();
    int LastOptionsPage = 0;
    // Names dropped on the command box go into its text as arguments.
    void DOSCmdBoxDropFiles(const std::vector<std::wstring>& Names);
    // After the window's size changed: the status bar's panel widths.
    void FormResize();
    // Puts a progress form 20 pixels right of the main panel's left edge and
    // 50 below its top, on the screen; the form keeps its size.
    void PlaceProgressForm(TForm& Progress) override;

    // ---- File and directory comparison, about box (CompareLink.cpp) ------
    TCompareCommands& CompareCommands() { return compare_->Commands(); }
    TCompareLink& Compare() { return *compare_; }

    // ---- File split and join (SplitJoinLink.cpp) ----------------------------
    TSplitJoinCommands& SplitJoinCommands() { return splitJoin_->Commands(); }

    // ---- Directory search, verification, drive overview, text properties
    // (ToolFormsLink.cpp) ------------------------------------------------------
    TToolFormsLink& ToolForms() { return *toolForms_; }

    // ---- Drives (DriveBar.cpp) --------------------------------------------
    TDriveBar* DriveBar() const { return driveBar_.get(); }

    // ---- File display (MainDisplay.cpp) ------------------------------------
    TFileDisplay* FileDisplay() const { return fileDisplay_.get(); }
    // The display commands; their shortcuts work wherever the focus is.
    TActionList* ActionList1 = nullptr;
    TAction* ViewFile = nullptr;
    TAction* FreezeDisplay = nullptr;
    TAction* DispAuto = nullptr;
    TAction* DispHex = nullptr;
    TAction* DispText = nullptr;
    TAction* AlignPicture = nullptr;
    TAction* SetBKColor = nullptr;
    // Sets a forced display mode and shows the focused file in it.
    void SetDisplayMode(uint8_t Mode);
    // The handler of both file lists' item-state changes; AlsoWithoutFocus
    // (after a load or re-read) clears the display when no item is focused.
    void ListView1Change(TComponent* Sender, bool AlsoWithoutFocus = false);
    // ---- File commands (FileCommands.cpp, MainFileCommands.cpp) -------------
    TFileCommands& FileCommands() { return *fileCommands_; }
    // View style 0 to 5 (large icons ... tiles) of the active list, and of
    // the other one with SyncDisplay.
    void SetViewStyle(int Style);
    // F5: reads the drive, the tree's drive and the lists again
    // (MainRefresh.cpp). Ignored while a refresh runs.
    void Aktualisieren();

    // ---- Renaming, copy or move to a folder, the file tools (FileToolsLink.cpp)
    TFileTools& FileTools() { return fileTools_->Tools(); }
    TRenameCommands& RenameCommands() { return fileTools_->Renames(); }

    // ---- User commands on the function keys (MainUserCommands.cpp) -----------
    TUserCommands& UserCommands() { return userCommands_->Commands(); }

    // ---- Folder history, typed paths, the command box (NavigationLink.cpp) ----
    TNavigationCommands& Navigation() { return navigation_->Commands(); }
    // ---- The file windows' layout (LayoutLink.cpp) --------------------------------
    TLayoutCommands& Layout() { return layout_->Commands(); }
    // ---- The window's keys (WindowKeysLink.cpp) ---------------------------------
    TWindowKeys& WindowKeys() { return windowKeys_->Keys(); }

    // ---- Text and hex commands of the display pane (MainDisplay.cpp) --------
    TTextCommandsLink& TextCommands() { return *textCommands_; }

    // ---- Selection by filter, the lists' filters (MainFilterCommands.cpp) -----
    TFilterCommands& FilterCommands() { return *filterCommands_; }
    TKyToolbarButton* FilterButton = nullptr;  // its menu names the filters
    TPopupMenu* FilterPopup = nullptr;

    // ---- Bookmarks and special folders (BookmarkCommandsLink.cpp) ------------
    TBookmarkCommands& BookmarkCommands() { return bookmarks_->Commands(); }

    // ---- Toolbars, their customiser, the "Neu" menu (ToolbarCommands.cpp,
    // NewFileMenu.cpp) ------------------------------------------------------
    TToolbarCommands& Toolbars() { return *toolbars_; }
    TNewFileMenu& NewFileMenu() { return *newFileMenu_; }

    // ---- Options (ApplyOptions.cpp) ----------------------------------------
    // Pushes the settings record into the controls, each step on its own:
    // a failing step leaves the others to run.
    void ApplyOptions();
    // The filter text of the open dialogs from the named filter list.
    void BuildFilterString();
    void AddNamedFilter(const std::wstring& Name, const std::wstring& Masks);
    // The colour of the active pane as the options make it.
    TColor ActivePaneColor = static_cast<TColor>(0xFF000005);
    // The filter text the open dialogs use.
    std::wstring OpenDialogFilter;
    // The number of the step that failed on the last ApplyOptions, in order.
    std::vector<int> FailedOptionSteps;

protected:
    std::wstring WindowClassName() const override { return L"TQRVMain"; }
    void DoShow() override;
    void WndProc(TMessage& message) override;

private:
    // Construction of the panes (RudirezOziMain.cpp).
    // The actions and the main menu from the catalogue, the popups once the panes exist.
    void CreateMenus();
    void CreatePopups();
    void CreatePanes();
    void CreateDisplayPane();
    void CreateToolbars();
    void CreateLayout();
    void CreateNewFileMenu();
    // Connects the file lists to the display (MainDisplay.cpp).
    void ConnectFileDisplay();
    void CreateDisplayActions();

    // Start-up (MainStartup.cpp).
    void FormCreate();
    void InitializeMainWindow();
    void EvaluateStartDirectories(const TCommandLine& commandLine);
    void OpenStartDirectories();
    // Folder watching of the tree and both lists: on once the start folders
    // are open, off at shutdown.
    void SetFolderWatching(bool On);
    void FirstShow();
    void FocusStartFile();
    void CreateTimers();
    void LookUpShellSettings();
    void ReportMissingComSpec();
    void ReserveSelectionListFile();
    void LoadExcludeList();
    void CreateFunctionKeyButtons();

    // Settings store (MainSettings.cpp).
    TSettingsFacts SettingsFacts();
    void CaptureStoredState();
    void ApplyStoredState();
    // Sets the pane sizes, each cut to what the window can show now.
    void FitPanesToWindow(const TPaneSizes& Wanted);
    // Cause: the error's own text, shown below the box's explanation.
    void ReportSaveFailure(const std::wstring& storeName, const std::wstring& cause);

    // Shutdown (MainShutdown.cpp).
    void FormClose();
    void FormDestroy();
    void DeleteOwnTemporaryFiles();

    // Dispatch (MainDispatch.cpp).
    void HandleStartupMessage();
    void WMDeviceChange(TMessage& message);
    void AppActivate(bool Active);
    void SendToolWindowHookEvent(int Code, WPARAM WParam, LPARAM LParam);
    bool CloseQuery() override;

    // Services (MainServices.cpp).
    TDirView* ListOf(TListId Id) const;
    // What the drive bar asks of the window.
    void ActivateFileList(TDirView* List) override;
    // The list becomes the active one; the tree and the title follow it.
    void MakeActiveList(TDirView* List);
    // A list and its history box in the active or the inactive pane's colour.
    void ColorPane(TDirView* List);
    // What the file display asks of the window (MainDisplay.cpp).
    TDisplayListState ActiveListState() override;
    bool Terminating() override;
    void PostDisplayRequest() override;
    void ShowStatusNote(const std::wstring& Text) override;
    void UpdateActionStates() override;
    void ShowLineCount() override;
    void ShowPictureSize() override;
    void PlaceDisplayPane(bool Visible) override;
    bool IsExcluded(const std::wstring& UpperName) override;
    bool StartPictureConverter() override;
    void StorePictureBackground(TColor Color) override;
    // What the file commands ask of the window besides the above.
    const TOptions& FileOptions() override;
    bool ClearDisplay() override;
    void DisplayFocusedFile() override;
    bool TextControlFocused() override;
    void TextCopy(bool Cut) override;
    void TextPaste() override;
    bool TextUndo() override;
    void TextFind() override;
    bool ArchiveListSelect(bool Invert) override;
    std::wstring ComSpec() override;
    // The file commands' actions and the panes' keys (MainFileCommands.cpp).
    void ConnectFileCommands();
    // What the text commands ask of the window (MainDisplay.cpp).
    void ConnectTextCommands();
    bool FileUndoPossible() override;
    void RunFileUndo() override;
    TComboBox* FocusedLineBox() override;
    uint8_t ForcedDisplayMode() override;
    void ChooseDisplayMode(uint8_t Mode) override { SetDisplayMode(Mode); }
    HWND OwnerWindow() override { return HandleAllocated() ? Handle() : nullptr; }
    TKyListView* ShownArchiveList() override;

    // Status bar, action states and the save question (MainStatus.cpp).
    void ConnectStatusArea();
    void StartStatusTimer();
    // Hides and disables the commands this program does not offer.
    void HideFeaturesNotOffered();
    void StartActionTimer();
    void FocusChanged();
    // The first file window keeps its share of the main panel.
    void KeepFirstWindowShare();
    // After the display pane's splitter moved: the focused item and the
    // tree's selected node are scrolled into view, the headers marked for
    // the next action pass.
    void BottomSplitterMoved();
    void RefreshHeadersWhenAsked() override;
    TPanel0Input StatusPanel0Input(bool RefreshDrive) override;
    TSelectionStatusInput SelectionStatusInput() override;
    std::optional<uint32_t> ShownTextLineCount() override;
    std::optional<std::pair<uint32_t, uint32_t>> ShownPictureSize() override;
    std::wstring ThousandSeparator() override;
    bool ActionUpdateAllowed() override;
    TActionInput ActionInput() override;
    std::optional<std::wstring> ModifiedTextName() override;
    TSaveAnswer AskSave(const std::wstring& Question) override;
    [[nodiscard]] bool SaveText(const std::wstring& FileName) override;
    void DiscardModified() override;
    void PostHeldDisplayRequest() override;

    // The filter commands' actions, box and button, and what they ask of the
    // window (MainFilterCommands.cpp).
    void ConnectFilterCommands();
    void FilterPopupPopup();
    TOptions& FilterOptions() override;
    TStringList& MaskHistory() override { return SelMaskHistory; }
    bool ArchiveListFocused() override;
    TCompressionBits CompressionBitsOf(const std::wstring& Folder) override;
    TPickerDate Today() override;
    bool RunFilterDialog(TSelFileDialog& Dialog) override;
    void EditNamedFilters() override;
    void FilterApplied() override;
    void SelectionChanged() override;
    void FocusList(TDirView* List) override;
    std::wstring TreeFolder() override;

    // Options (ApplyOptions.cpp): the steps whose targets come later.
    void ApplyMainFont();
    void ResizeToolbarButtons(int Size);
    void RebuildFilterBox();
    void ShowSecondFileWin(bool Show);
    void ApplyThumbnails();
    void ApplyEditorTabs(bool WantTabs);
    void UpdateFSMonitorAction(bool Enabled);
    void UpdateDirSizeView(bool Checked);
    void UpdateCommandLineDropTarget();
    void RefreshListColors(TDirView* List);
    void UpdateDisplayModeButtons(bool HexDown, bool TextDown);
    void UpdateDosCloseAction(bool Checked);
    void UpdateViewStyleActions();

    TActionCatalogue catalogue_;
    std::unique_ptr<TCommandMenus> commandMenus_;
    std::unique_ptr<TDriveBar> driveBar_;
    std::unique_ptr<TFileDisplay> fileDisplay_;
    TSaveQuestion saveQuestion_{static_cast<TSaveQuestionHost&>(*this)};
    std::unique_ptr<TFileCommands> fileCommands_;
    std::unique_ptr<TCompareLink> compare_;
    // Before the user commands: its hook on the application's messages is
    // made first (with the panes), so it must be given back last.
    std::unique_ptr<TTextCommandsLink> textCommands_;
    std::unique_ptr<TListViewCommands> listViewCommands_;
    std::unique_ptr<TUserCommandsLink> userCommands_;
    // After the user commands: the command box runs its lines through them.
    std::unique_ptr<TNavigationLink> navigation_;
    std::unique_ptr<TLayoutLink> layout_;
    // The window's own keys (the form's key preview).
    std::unique_ptr<TWindowKeysLink> windowKeys_;
    std::unique_ptr<TSplitJoinLink> splitJoin_;
    std::unique_ptr<TToolFormsLink> toolForms_;
    // Drag and drop between the panes (PaneDropsLink.cpp).
    std::unique_ptr<TPaneDropsLink> paneDrops_;
    // Renaming and the file tools (FileToolsLink.cpp).
    std::unique_ptr<TFileToolsLink> fileTools_;
    std::unique_ptr<TFilterCommands> filterCommands_;
    std::unique_ptr<TPathTextCommands> pathTexts_;
    std::unique_ptr<TErrorReports> errorReports_;
    std::unique_ptr<TTrayCommands> tray_;
    std::unique_ptr<TArchiveListEvents> archiveEvents_;
    // Connects the four above, the console switch and the status bar's popup.
    void ConnectWindowServices();
    // The status bar's popup at the screen position.
    void StatusBarPopupPopup(int X, int Y);
    // Bookmarks and special folders (BookmarkCommandsLink.cpp).
    std::unique_ptr<TBookmarkCommandsLink> bookmarks_;
    std::unique_ptr<TToolbarCommands> toolbars_;
    std::unique_ptr<TNewFileMenu> newFileMenu_;
    bool refreshAllowed_ = true;  // false while Aktualisieren runs
    // The simple refresh: the display let go, the focused pane re-read.
    void SimpleRefresh();
    // One list after a refresh: the tree's folder loaded, or re-read in place.
    void RefreshList(TDirView* List, const std::wstring& TreeFolder);
    std::unique_ptr<TStatusArea> statusArea_;
    std::unique_ptr<TActionUpdater> actionUpdater_;
    // The main panel's last size with room in it.
    int mainPanelWidth_ = 0;
    int mainPanelHeight_ = 0;
    // LargeIcons, SmallIcons, IconListe, IconReport, IconThumb, IconTile.
    std::vector<TAction*> viewStyleActions_;
    // The lists' sort marks are repainted by the next action pass.
    bool headerRefreshNeeded_ = false;
    std::unique_ptr<TMutex> converterMutex_;
    // The external picture converter and its wiring.
    std::unique_ptr<TPictureConverterCalls> converterCalls_;
    std::unique_ptr<TPictureConverter> pictureConverter_;
    std::unique_ptr<TListThumbnails> listThumbnails_;
    // The folder-size command and the lists' deferred work.
    TListBackgroundWorkCalls listWorkCalls_;
    std::unique_ptr<TListBackgroundWork> listWork_;
    std::unique_ptr<TMutex> instanceMutex_;
    std::unique_ptr<TSimpleTimer> actionTimer_;
    std::unique_ptr<TSimpleTimer> oleDisplayTimer_;
    std::unique_ptr<TSimpleTimer> statusTimer_;
    std::unique_ptr<TSimpleTimer> driveTimer_;
    std::unique_ptr<TThread> idleThread_;
    bool selectionListReserved_ = false;
    bool firstShowDone_ = false;
    bool startFileFound_ = false;  // the start file was found and is no folder
    bool destroyed_ = false;
    bool formCreated_ = false;
    bool minimized_ = false;
    // The shell's SHGetSettings for the lists; nullptr when it has none.
    void* shGetSettings_ = nullptr;
};

// The program's exit code when the settings could not be saved at exit.
constexpr int kExitSettingsNotSaved = 2;

// Private messages of the main window.
constexpr UINT WM_QRV_SYNCCOLUMNS = WM_USER + 0x142;
constexpr UINT WM_QRV_STARTUP = WM_USER + 0x144;
constexpr UINT WM_QRV_SHOWFILE = WM_USER + 0x148;
constexpr UINT WM_QRV_JOINSPLIT = WM_USER + 0x149;
constexpr UINT WM_QRV_DISPLAYFILE = WM_USER + 0x14B;

}  // namespace qrv
