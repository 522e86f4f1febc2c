#pragma once
// The window-free decisions of the file display: which viewer shows a file,
// what a display request does with the focused item, where a bitmap is
// loaded, where a picture sits in its box, which links the text view may
// open. The Win32 side (win/FileDisplay) gathers the facts and acts.

#include "imaging/BitmapFileHeader.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/TextFileKind.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

// The viewers a file can be shown in.
enum TViewerKind : uint8_t {
    vkText = 0,
    vkRichText = 1,
    vkPicture = 2,
    vkConvertedPicture = 3,
    vkHex = 8,
    vkArchive = 9,  // the archive list
};

// The display mode the user forces (Options.FileDisplay).
enum TForcedDisplayMode : uint8_t { fdAutomatic = 0, fdHex = 1, fdText = 2 };

// The extension of a path in upper case with its dot, cut to six characters:
// the form every family lookup uses. "" when the name has none.
std::wstring ShortExtension(std::wstring_view path);

// True when the extension is one of the family's (an exact lookup).
bool InExtFamily(const TOptions& options, TExtFamily family, const std::wstring& shortExt);

// What ChooseViewerKind asks about the file.
struct TViewerChoiceFacts {
    uint8_t ForcedMode = fdAutomatic;
    // Archives (".ZIP", ".RAR", ".JAR", ".CAB", ".ACE") show in the archive list.
    bool ViewArchive = false;
    std::function<bool(TExtFamily)> InFamily;
    // Whether the external picture converter can take the file.
    std::function<bool()> ConverterAvailable;
    // Whether a picture class of the program is registered for the extension:
    // such a file of the converter's family shows as a picture.
    std::function<bool()> PictureClassRegistered;
    // The content test of the file; asked at most once.
    std::function<TTextFileKind()> ContentTest;
};

uint8_t ChooseViewerKind(const std::wstring& shortExt, const TViewerChoiceFacts& facts);

// What a display request does.
enum class TDisplayAction {
    daNothing,    // the display is off, frozen, busy, or the file is shown already
    daNoFile,     // no item is focused
    daDirectory,  // the directory panel shows Path
    daLink,       // the shortcut panel shows Path
    daExcluded,   // the name is on the exclusion list
    daViewer,     // ChooseViewerKind picks the viewer for Path
};

// The facts of the active list and the display at a display request.
struct TDisplayFacts {
    bool Terminating = false;
    bool Loading = false;
    bool ViewFile = false;
    bool Frozen = false;
    std::wstring ViewedFile;
    // The focused item's full path ("" when none), whether it is a folder,
    // whether it is the ".." entry, and the list's folder.
    std::wstring FocusedPath;
    bool FocusedIsDirectory = false;
    bool FocusedIsParent = false;
    std::wstring ListFolder;
    uint8_t ForcedMode = fdAutomatic;
    bool FollowLinks = true;
    // A shortcut's target ("" when it has none).
    std::function<std::wstring(const std::wstring&)> LinkTarget;
    std::function<bool(const std::wstring&)> FileExists;
    // True when the upper-cased name (no path) is excluded from display.
    std::function<bool(const std::wstring&)> Excluded;
};

struct TDisplayDecision {
    TDisplayAction Action = TDisplayAction::daNothing;
    // The path the display shows (a followed shortcut's target, the list's
    // folder for ".."), its short extension and its name without path.
    std::wstring Path;
    std::wstring Extension;
    std::wstring Name;
    // The focused item's path: the display's ViewedFile from now on.
    std::wstring NewViewedFile;
};

TDisplayDecision DecideDisplay(const TDisplayFacts& facts);

// Where an unstretched picture sits in its box: centred in each direction in
// which it is smaller than the room the box leaves beside its scroll bars,
// else at 0. A bar counts only while it is shown.
struct TPicturePlace {
    int Left = 0;
    int Top = 0;
    bool operator==(const TPicturePlace&) const = default;
};
TPicturePlace CenterPicture(int imageWidth, int imageHeight, int boxWidth, int boxHeight, int vertBarWidth,
                            int horzBarHeight);
// The scroll position after a drag from the remembered mouse position to the
// current one (the picture follows the hand).
inline int DragScrollPosition(int scrollPos, int rememberedPos, int mousePos)
{
    return scrollPos + (rememberedPos - mousePos);
}
// The hand cursor shows while an unstretched picture larger than its box is
// dragged.
inline bool ShowsDragCursor(bool dragging, bool stretched, bool largerThanBox)
{
    return dragging && !stretched && largerThanBox;
}

}  // namespace qrv
