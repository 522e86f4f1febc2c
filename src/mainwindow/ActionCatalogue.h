#pragma once
// The main window's commands in one table: one row per command with its id,
// its stored name, its caption, its key, its image, where it stands in the
// main menu and the popups, and whether the program offers it. The main
// menu, the list and tree popups and the action states (ActionRules) all
// read this table, so a command is added by adding a row and registering its
// handler. Portable.

#include "framework/ShortCuts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

enum class TActionId : uint16_t {
    // File.
    NewDir,
    NewFile,
    NewLink,
    EditObject,
    DeleteObject,
    DeleteObjectPhysical,
    CreateShortCut,
    CreateShortCutClipBoard,
    Eigenschaften,
    FileExit,
    // Edit.
    FileUndo,
    ClipBoardCut,
    ClipBoardCopy,
    ClipBoardPaste,
    ClipBoardDelete,
    SelectAll,
    SelectInvert,
    // View.
    LargeIcons,
    SmallIcons,
    IconListe,
    IconReport,
    IconThumb,
    IconTile,
    ViewFile,
    FreezeDisplay,
    DispAuto,
    DispHex,
    DispText,
    AlignPicture,
    SetBKColor,
    Aktualisieren,
    // Folder tree.
    ActExpand,
    ActCollapse,
    ActExpandAll,
    ActCollapseAll,
    // Tools.
    FindDatei,
    DOS,
    OptionsDlg,
    FileCompare,
    FileWinCompare,
    // Help.
    HelpAbout,
    // File split and join.
    SplitFile,
    CombineFile,
    // Filters of the lists.
    EditFilter,
    FilterZipLV,
    EditStdFilter,
    // Folder sizes in the lists.
    ViewDirSize,
    // Commands whose states the rules already know, built by later work.
    TextUndo,
    TextSelectAll,
    TextFileSave,
    SaveTextFileButton,
    WordWrap,
    WordWrapButton,
    FileVerify,
    DirUp,
    SwapWindows,
    EqualizeWindows,
    CopyTo,
    MoveTo,
    CopyFileNames,
    CopyFileNamesDos,
    CopyFilePaths,
    CopyFilePathsDos,
    OpenFile,
    FileOpenWith,
    DuplicateFile,
    CommandLineAllNames,
    CommandLineName,
    CommandLinePath,
    CommandLineRun,
    SelectSeveral,
    SelectUnselect,
    SelectFiles,
    GoPrev,
    GoNext,
    DirRoot,
    FindDlg,
    FindDateiButton,
    // Special folders and bookmarks.
    StdDirAdd,
    StdDirEdit,
    GotoDesktop,
    GotoProgramms,
    GotoPersonalFiles,
    GotoPersonalPictures,
    GotoStartMenu,
    GotoTemplates,
    GotoFavorites,
    GotoFonts,
    GotoSendTo,
    GotoCookies,
    GotoTempDir,
    GotoRecycleBin,
    GotoControlPanel,
    GotoPrinter,
    // Text and hex commands of the display pane.
    TextCut,
    TextCopy,
    TextPaste,
    TextDelete,
    TextSearch,
    TextSearchNext,
    TextReplace,
    TextSort,
    TextCRLF,
    TextLF,
    TextAnsi,
    TextUnicode,
    TextShowRulers,
    TextMarkColumn,
    TransAnsi,
    TransDOS8,
    TransASCII,
    TransMac,
    TransEBCDIC,
    OffsDec,
    OffsHex,
    OffsNone,
    HexLine16,
    HexLine24,
    HexLine32,
    HexLine48,
    HexLine64,
    HexColumn1,
    HexColumn2,
    HexColumn4,
    DispHexButton,
    DispTextButton,
    SortOrder,
    SortName,
    SortSize,
    SortType,
    SortDate,
    SortAttr,
    GoHome,
    CreateFileList,
    // The drive overview and the text editor's settings.
    DriveOverview,
    TextProperties,
    // Copy or move to a folder and the shell's tools.
    CopyTo2FW,
    MoveTo2FW,
    PrintFile,
    DiscCopy,
    DiskFormat,
    ExecuteDialog,
    NetConnect,
    NetDisconnect,
    // The tree's folder as text on the clipboard, the console switch, the
    // status bar's size format, stopping the archive list's work.
    CopyDirPath,
    CopyDirPathDos,
    DOSClose,
    SBAbbreviated,
    ArchiveAbort,
    // The toolbars shown or hidden, and their customiser.
    ShowToolBarDatei,
    ShowToolbarDateianzeige,
    ShowToolBarAuswahl,
    ShowToolBarAnsicht,
    ShowToolbarBearbeiten,
    ShowToolBarNetwork,
    DOSCommandLine,
    ShowToolBarDrives,
    ShowToolBarFKeys,
    ShowToolbarBookmarks,
    CustomizeToolbars,
    // The file windows' layout.
    SecondFileWin,
    ViewExplorer,
    ViewCommander,
    ViewStandard,
    ShowViewMan,
    // Expanding the tree to a level.
    ExpandLevel1,
    ExpandLevel2,
    ExpandLevel3,
    ExpandLevel4,
    ExpandLevel5,
    ExpandLevel6,
    ExpandLevel7,
    ExpandLevel8,
    // Features this program does not offer: hidden and disabled for good.
    ShredFile,
    SendFile,
    SyncDir,
    SyncDirButton,
    SendMailButton,
    EditGroup,
    ShowFSMonitor,
    ThumbButton,
    ArchiveNew,
    ArchiveMenu,
    ArchiveDivider,
    ArchiveFilter,
    ArchiveToolbarShow,
    ArchiveToolbarMenu,
    HexEditFile,
    DateTimeButton,
    EditDateTime,
    SeparatorN1,
    PrintDir,
    Count
};

constexpr size_t kActionCount = static_cast<size_t>(TActionId::Count);

// The menus of the main menu bar, in the bar's order; submenus follow their
// parent.
enum class TMenuId : uint8_t {
    None,
    File,
    FileNew,
    Edit,
    View,
    Directory,
    Jump,
    Drives,
    Bookmarks,
    Programs,
    Tools,
    Help,
    // Submenus of the text and hex commands (after the bar's menus, so
    // that the bar keeps its order).
    EditText,
    ViewText,
    HexTranslation,
    HexOffsets,
    HexLineWidth,
    HexColumnWidth,
    ViewSort,
    ViewToolbars,
    EditAsText,
    ViewLayouts,
    DirectoryLevels,
};

// The number of menu ids (keep at the last one).
constexpr size_t kMenuCount = static_cast<size_t>(TMenuId::DirectoryLevels) + 1;

// Popups a command also stands in.
enum TPopupSet : uint8_t { ppNone = 0, ppList = 1, ppTree = 2 };

enum class TRowKind : uint8_t {
    Command,  // built: the window registers its handler
    Planned,  // the rules know its state; the command comes with later work
    Button,   // built, but in no menu: toolbar buttons and keys run it
};

// Where a command's key is taken.
enum class TKeyScope : uint8_t {
    Window,  // the action's shortcut: handled wherever the focus is
    Pane,    // taken by the panes themselves (a name editor or a text keeps it);
             // the menus only show it
};

struct TActionRow {
    TActionId Id;
    const wchar_t* Name;     // the stored name (settings, toolbar customiser)
    const wchar_t* Caption;  // with its accelerator; empty for a planned row
    TShortCut Key = scNone;
    TKeyScope Scope = TKeyScope::Window;
    const wchar_t* KeyText = nullptr;  // the key's shown text where it is no shortcut text
    int ImageIndex = -1;               // in the toolbar images; -1: none yet
    TMenuId Menu = TMenuId::None;
    uint8_t Group = 0;  // a separator comes before a row whose group differs from the one before
    uint8_t Popups = ppNone;
    TRowKind Kind = TRowKind::Command;
    bool Offered = true;  // false: hidden and disabled at start, never enabled
};

struct TMenuRow {
    TMenuId Id;
    TMenuId Parent;                      // None: in the menu bar
    const wchar_t* Caption;              // with its accelerator
    const wchar_t* Name;                 // the main menu item's name
    const wchar_t* PopupName = nullptr;  // the name of its copy in the popups, if it has one
    // The menu is enabled as this command is (std::nullopt: always).
    std::optional<TActionId> Follows = std::nullopt;
};

// Every row, in the menus' order.
std::span<const TActionRow> ActionRows();
const TActionRow& ActionRow(TActionId Id);
// The row of a stored name; std::nullopt for a name no row has.
std::optional<TActionId> FindActionId(std::wstring_view Name);
std::span<const TMenuRow> MenuRows();
const TMenuRow& MenuRow(TMenuId Id);

// The caption as the menus show it: a pane's key after a tab (a shortcut's
// text is added by the menu itself).
std::wstring MenuCaption(const TActionRow& Row);
// Whether the window builds an action for the row.
bool NeedsHandler(const TActionRow& Row);

// The commands' handlers, registered by the command areas against the ids.
class TActionCatalogue {
public:
    using THandler = std::function<void()>;

    // A second registration for one id is a programming error and throws.
    void Register(TActionId Id, THandler Handler);
    bool HasHandler(TActionId Id) const;
    // Runs the id's handler; false when it has none.
    bool Execute(TActionId Id) const;

    // The built commands without a handler.
    std::vector<TActionId> MissingHandlers() const;

private:
    std::array<THandler, kActionCount> handlers_;
};

}  // namespace qrv
