#pragma once
// TQRVMain: the program's main window. The unit is split by subject:
//   RudirezOziMain.cpp  construction and the panes,
//   MainStartup.cpp     start-up (FormCreate, InitializeMainWindow, first show),
//   MainShutdown.cpp    shutdown (FormClose, FormDestroy, ShutdownMainWindow).

#include "framework/StringList.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "mainwindow/StartupArgs.h"
#include "mainwindow/StoredSettings.h"

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
class TKyOLEContainer;
class TKySplitter;
class TKyToolbar;
class TKyToolbarButton;
class TKyTrayIcon;
class TKyZipLV;
class TMutex;
class TScrollBox;
class TImage;
class TSimpleTimer;
class TTextFileView;
class TThread;

class TQRVMain : public TForm {
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
    // Writes every section; only once the window was shown. A failure is reported.
    void SaveSettings();
    void LoadToolbarPositions();

    TMutex* ConverterMutex() const { return converterMutex_.get(); }
    TMutex* InstanceMutex() const { return instanceMutex_.get(); }
    TSimpleTimer* ActionTimer() const { return actionTimer_.get(); }
    TSimpleTimer* OleDisplayTimer() const { return oleDisplayTimer_.get(); }
    TSimpleTimer* StatusTimer() const { return statusTimer_.get(); }
    TSimpleTimer* DriveTimer() const { return driveTimer_.get(); }

    // The panes.
    TMainMenu* MainMenu1 = nullptr;
    TStatusBar* StatusBar = nullptr;
    TKyDock* Dock975 = nullptr;  // the top dock
    TPanel* PanelLeft = nullptr;
    TDriveView* TreeView1 = nullptr;
    TKySplitter* Splitter1 = nullptr;
    TPanel* MainPanel = nullptr;
    TPanel* FilePanel1 = nullptr;
    TComboBox* DirHist1 = nullptr;
    TDirView* LV1 = nullptr;
    TKySplitter* Splitter2 = nullptr;
    TPanel* FilePanel2 = nullptr;
    TComboBox* DirHist2 = nullptr;
    TDirView* LV2 = nullptr;
    TKySplitter* Splitter3 = nullptr;
    TPanel* PanelBottom = nullptr;
    TTextFileView* TextView = nullptr;
    TScrollBox* ScrollBox1 = nullptr;
    TImage* Image1 = nullptr;
    THexEditor* HexEditor1 = nullptr;
    TPanel* WebPanel = nullptr;
    TKyDirPanel* DirPanel = nullptr;
    TKyLinkPanel* LinkPanel = nullptr;
    TPanel* ErrorPanel = nullptr;
    TKyZipLV* ZipLV = nullptr;
    TPanel* MediaPanel = nullptr;
    TKyOLEContainer* OLEPanel = nullptr;
    TEasyEdit* EasyEdit = nullptr;
    TKyToolbar* ToolbarDatei = nullptr;
    TKyToolbar* ToolbarDrives = nullptr;
    TKyToolbar* ToolBarFKeys = nullptr;
    TKyToolbar* ToolbarCMDLine = nullptr;
    TComboBox* CmdLineBox = nullptr;
    TComboBox* FilterBox = nullptr;
    TKyTrayIcon* TrayIcon1 = nullptr;
    TMenuItem* ShortCuts1 = nullptr;
    std::vector<TMenuItem*> DriveMenuItems;
    std::vector<TKyToolbarButton*> FKeyButtons;
    TDirView* ActiveList = nullptr;
    TComboBox* ActiveHistory = nullptr;

    // The shutdown sequence; runs once, whoever calls it first.
    void ShutdownMainWindow();

protected:
    std::wstring WindowClassName() const override { return L"TQRVMain"; }
    void DoShow() override;
    void WndProc(TMessage& message) override;

private:
    // Construction of the panes (RudirezOziMain.cpp).
    void CreateMenus();
    void CreatePanes();
    void CreateDisplayPane();
    void CreateToolbars();

    // Start-up (MainStartup.cpp).
    void FormCreate();
    void InitializeMainWindow();
    void EvaluateStartDirectories(const TCommandLine& commandLine);
    void OpenStartDirectories();
    void FirstShow();
    void FocusStartFile();
    void HandleStartupMessage();
    void ReportMissingComSpec();
    void ReserveSelectionListFile();
    void LoadExcludeList();
    void CreateDriveMenuItems();
    void CreateFunctionKeyButtons();

    // Settings store (MainSettings.cpp).
    TSettingsFacts SettingsFacts();
    void CaptureStoredState();
    void ApplyStoredState();
    void ReportSaveFailure(const std::wstring& storeName);

    // Shutdown (MainShutdown.cpp).
    void FormClose();
    void FormDestroy();
    void DeleteOwnTemporaryFiles();

    std::unique_ptr<TMutex> converterMutex_;
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
};

// Private messages of the main window.
constexpr UINT WM_QRV_STARTUP = WM_USER + 0x144;
constexpr UINT WM_QRV_SHOWFILE = WM_USER + 0x148;
constexpr UINT WM_QRV_JOINSPLIT = WM_USER + 0x149;

}  // namespace qrv
