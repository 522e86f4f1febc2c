#pragma once
// TFileDisplay: the display pane below the file lists follows the focused
// item of the active list. A focus change asks for a display; the posted
// request picks the pane (folder summary, shortcut summary, an error) or the
// viewer that suits the file (text, rich text, picture, hex) and loads it.
// It also holds the display commands (on/off, freeze) and the picture pane's
// handling. It reaches the window only through its panes, the window's
// services and TFileDisplayHost; the choices
// themselves are in mainwindow/FileDisplayRules.

#include "editor/EasyEditorParser.h"
#include "framework/Colors.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"
#include "mainwindow/FileDisplayRules.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "viewers/win/KyRichEd.h"

#include <memory>
#include <optional>
#include <string>

namespace qrv {

class TControl;
class TEasyEdit;
class THexEditor;
class TImage;
class TKyDirPanel;
class TKyLinkPanel;
class TKyOLEContainer;
class TKyZipLV;
class TLabel;
class TPanel;
class TScrollBox;
class TTextFileView;
class TWinControl;

// The active list as a display request sees it.
struct TDisplayListState {
    bool Loading = false;
    // The focused item's full path, "" when no item is focused.
    std::wstring FocusedPath;
    bool FocusedIsDirectory = false;
    bool FocusedIsParent = false;
    // The folder the list shows.
    std::wstring Folder;
};

// What the file display needs of the main window.
class TFileDisplayHost {
public:
    virtual ~TFileDisplayHost() = default;
    virtual TDisplayListState ActiveListState() = 0;
    // Posts the display request to the window (handled by DisplaySelectedFile).
    virtual void PostDisplayRequest() = 0;
    // After a load: the status bar shows the text's line count or the
    // picture's size.
    virtual void ShowLineCount() = 0;
    virtual void ShowPictureSize() = 0;
    // A note in the status bar about what is shown.
    virtual void ShowStatusNote(const std::wstring& Text) = 0;
    // Shows or hides the display pane with its splitter.
    virtual void PlaceDisplayPane(bool Visible) = 0;
    // The upper-cased name (no path) is on the exclusion list.
    virtual bool IsExcluded(const std::wstring& UpperName) = 0;
    // The external picture converter can take the file (started when needed).
    virtual bool StartPictureConverter() = 0;
    // Stores the picture pane's background colour in the settings.
    virtual void StorePictureBackground(TColor Color) = 0;
};

class TFileDisplay {
public:
    // The display panes of Panes must exist when the display is made.
    TFileDisplay(const TMainPanes& Panes, TMainWindowServices& Services, TFileDisplayHost& Host);
    TFileDisplay(const TFileDisplay&) = delete;
    TFileDisplay& operator=(const TFileDisplay&) = delete;

    // The full path shown now; "" when nothing is.
    const std::wstring& ViewedFile() const { return viewedFile_; }
    // The next display request loads the file again even when it is the
    // one shown.
    void ForgetViewedFile() { viewedFile_.clear(); }
    // The display mode the user forces (TForcedDisplayMode): its one copy
    // is the stored setting (Options.FileDisplay), which the window changes
    // through SetForcedMode and the options dialog through its exchange.
    uint8_t ForcedMode() const;
    void SetForcedMode(uint8_t Mode);
    // The check states of the display commands.
    bool ViewFile() const { return viewFile_; }
    bool FreezeDisplay() const { return freezeDisplay_; }
    bool AlignPicture() const { return alignPicture_; }
    // The display follows the focus again (after a refresh).
    void Unfreeze() { freezeDisplay_ = false; }

    // The focused item of the active list changed to that path.
    void ListView1Change(const std::wstring& FocusedPath);
    void RequestDisplay() { host_.PostDisplayRequest(); }
    // Shows the active list's focused item again, unless the display is off
    // or frozen.
    void RedisplayFocused()
    {
        if (viewFile_ && !freezeDisplay_)
            RequestDisplay();
    }
    // The handler of the display request.
    void DisplaySelectedFile();
    // Makes the control the only visible pane (nullptr hides all).
    void ShowPane(TWinControl* Control);
    // Empties the visible viewer; false when a changed text was not let go.
    bool ClearDisplay();
    void ShowDisplayError(const std::wstring& Text);

    // The display on (for the active list's focused item) or off.
    void ViewFileExecute(bool HasFocusedItem);
    void FreezeDisplayExecute();
    bool FreezeDisplayEnabled() const { return viewFile_; }

    // The picture pane.
    void AlignPictureExecute();
    void SetPictureBackground(TColor Color);
    void SetBKColorExecute();
    void ScrollBox1Resize();
    void ScrollBox1Enter();
    void ScrollBox1Exit();
    void Image1MouseDown(int X, int Y);
    void Image1MouseMove(int X, int Y);
    void Image1MouseUp();
    bool Dragging() const { return dragging_; }
    // The text view's link click: web and mail addresses open in the shell.
    void TextFileView1URLClick(const std::wstring& URL, TMouseButton Button);

    // The visible pane; nullptr when none is.
    TWinControl* VisiblePane() const;

    // The editor's parser, attached to its source; nullptr without an
    // editor. Its rules are cleared before each text is loaded.
    std::unique_ptr<TEasyEditorParser> EasyParser;

private:
    void ShowHex(const std::wstring& Path);
    void ShowText(const std::wstring& Path, bool RichText, const std::optional<TTextFileKind>& Kind);
    // Plain text goes into the editor's document.
    void ShowEditorText(const std::wstring& Path, const std::optional<TTextFileKind>& Kind);
    // Through the picture class registered for the file's extension; the
    // image control holds the graphic.
    void ShowPicture(const std::wstring& Path);
    // Through the external picture converter.
    void ShowConvertedPicture(const std::wstring& Path);
    void ClearPicture();
    void UpdateDragCursor();
    std::wstring CannotShowText(const std::wstring& Path, const std::wstring& Reason) const;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileDisplayHost& host_;
    std::wstring viewedFile_;
    bool viewFile_ = false;
    bool freezeDisplay_ = false;
    bool alignPicture_ = false;
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
};

}  // namespace qrv
