#pragma once
// The program-wide settings record TOptions with its defaults, the seven
// extension families that choose the viewer of a file, the bookmark lists and
// the values measured at start. Portable: the facts about the system that the
// defaults depend on are passed in by the Windows side.

#include "framework/Colors.h"
#include "framework/StringList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace qrv {

enum TFontStyleBit : uint8_t { fsBoldBit = 1, fsItalicBit = 2, fsUnderlineBit = 4, fsStrikeOutBit = 8 };

// The longest face name the system takes (LF_FACESIZE less the terminator).
constexpr size_t kMaxFontNameLength = 31;

struct TFontSetting {
    std::wstring Name;  // at most kMaxFontNameLength characters
    int32_t Size = 0;   // points
    uint8_t Style = 0;  // TFontStyleBit set
    uint8_t Charset = 0;
    bool operator==(const TFontSetting&) const = default;
};

// One user command on a function key.
struct TFKeyRecord {
    std::wstring Caption;  // at most 25 characters
    std::wstring Command;  // at most 200 characters
    std::wstring Params;   // at most 255 characters
    int32_t ImageIndex = -1;
    bool operator==(const TFKeyRecord&) const = default;
};

// One named file filter.
struct TFilterRec {
    std::wstring Name;   // at most 60 characters
    std::wstring Masks;  // at most 255 characters
    bool operator==(const TFilterRec&) const = default;
};

// The extension families, in index order.
enum TExtFamily { ConvertExts, WebExts, OfficeExts, MediaExts, BinaryExts, TextExts, PictureExts, ExtFamilyCount };

// The strings the families are built from.
extern const wchar_t* const kDefaultExtTexts[ExtFamilyCount];

struct TOptions {
    bool SelBothFileWin = true;
    bool SecondFileWin = true;
    bool BringToFront = false;
    bool RestoreInitDir = true;
    bool scRestoreFilter = false;
    bool ConfirmLogicalDel = true;
    bool ConfirmPhysicalDel = true;
    bool ConfirmOverWrite = true;
    bool ConfirmAuthority = true;
    bool TrayApp = false;
    bool VerifyFloppy = true;
    bool CDROMAttr = true;
    bool DosClose = false;
    bool SortByExt = false;
    bool InfoTips = true;
    bool AutoSort = true;
    bool SortDirTime = true;
    bool TurboIcon = true;
    bool ShowDirs = true;
    bool RowSelect = false;
    bool BAKFiles = true;
    bool ShowFilter = true;
    bool LongVolNames = true;
    bool DragImages = true;
    bool SelDirs = true;
    bool ClickEdits = true;
    bool SyncDisplay = true;
    bool LinkOnExeDrag = false;
    bool UseColor = true;
    bool SingleClickExec = false;
    bool Grid = false;
    bool DirSize = false;
    bool UseProgIcons = true;
    bool PreserveDirs = true;
    bool ShowDirWin = true;
    bool UseCompressedColor = true;
    bool HiddenGrey = false;
    bool DirsOnTop = false;
    bool ViewArchive = false;
    bool UseActiveX = true;
    bool UseRegistry = false;
    bool AutoScrollTree = true;
    bool AutoExpandDir = true;
    bool MMAutoPlay = true;
    bool ShowExtension = true;
    bool ShowNetwork = false;
    bool FSMonitorActive = false;
    bool SBAbbreviated = true;
    bool AbbreviatedSize = true;
    bool MessageBox = true;
    bool AutoActivate = false;
    bool AttrUnderline = false;
    bool SquareThumb = true;
    bool ShowLogo = true;
    bool ViewFile = false;
    bool FollowLinks = true;
    bool WantTabs = false;
    bool TwoTBDrives = false;
    bool ShowHiddenDirs = true;
    int32_t TBButtonSize = 22;
    bool ChangeUserSettings = true;
    TColor Color = static_cast<TColor>(0xFF000016);
    TColor ActiveColor = static_cast<TColor>(0xFF000005);
    TColor CompressedColor = 0x00FF0000;
    TColor HiddenColor = static_cast<TColor>(0xFF000011);
    TColor PicBKColor = 0x00808080;
    uint8_t DateTime = 0;
    int32_t Reload = 1500;
    int32_t DividerStyle = 1;
    // [0] the Shift set, [1] the Ctrl set; key n is entry n - 1.
    std::array<std::array<TFKeyRecord, 12>, 2> FKeys;  // no "{}": clang 14 crashes on it here
    TFontSetting ListFont{L"MS Sans Serif", 8, 0, 0};
    TFontSetting TextFont{L"Courier New", 9, 0, 0};
    uint8_t DDOption = 1;
    int32_t DDExpandDelay = 1000;
    uint8_t Maximized = 0;
    std::wstring StartDir;
    std::wstring StartDir2;
    uint8_t FileDisplay = 0;
    uint8_t FileDisplayPos = 0;
    std::wstring IrfanViewPath;
    std::wstring CompareProgPath;
    uint8_t FileNameDisplay = 3;
    // The extension families (sorted, upper-case, dot-prefixed); shared by
    // copies of the record, which never change them.
    std::array<std::shared_ptr<TStringList>, ExtFamilyCount> ExtLists{};
    std::vector<TFilterRec> FilterList;
    int32_t PixelX = 96;
    int32_t PixelY = 72;
    int32_t DistX = 20;
    int32_t FrameSize = 2;
};

// The facts about the running system that some defaults depend on.
struct TSystemFacts {
    bool NTPlatform = true;       // not the Windows 9x family
    uint32_t MinorVersion = 0;    // minor version of the system
    bool GermanSystem = false;    // primary language 7
    bool PdfHasOpenVerb = false;  // ".pdf" has an "open" verb
    bool NetworkPresent = false;  // bit 0 of the SM_NETWORK metric
};

// The default of 0xFF000016 that the logo form replaces on displays with
// fewer than 256 colours.
constexpr TColor kDefaultPaneColor = static_cast<TColor>(0xFF000016);
constexpr TColor kLowColorPaneColor = static_cast<TColor>(0xFF00000F);

// Fills the record with its defaults and builds the extension families.
void SetDefaultOptions(TOptions& options, const TSystemFacts& facts);
// Builds one family from its dot-separated text.
void BuildExtFamily(TStringList& family, const std::wstring& text);
// The text of the web family on this system.
std::wstring WebExtText(const TSystemFacts& facts);

// The colour count of a display with that many bits per pixel.
uint32_t ColorCountForBitsPerPixel(int bitsPerPixel);

// The globals of the settings unit.
extern TOptions Options;
extern std::wstring ComSpecPath;
extern TStringList StdDirList;
extern TStringList StdDirCaptions;
extern uint32_t DisplayColorCount;

// Where the don't-show-again flags live, and their check box's caption.
extern const wchar_t* const kDSARegKey;
extern const wchar_t* const kDSACheckBoxCaption;

}  // namespace qrv
