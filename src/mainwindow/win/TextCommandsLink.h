#pragma once
// TTextCommandsLink: the text and hex commands (TTextCommands) on the real
// controls of the display pane and the one-line boxes. It hands the commands
// the rich-text view, the editor, the hex view and the focused box as
// targets, puts the commands' keys into those controls (Strg+Z, C, X, V, F
// and F3), runs the system's find and replace dialogs, carries out the
// viewers' switches (word wrap, line breaks, character set, rulers, column
// marking, the hex view's encoding, offsets and widths), saves the shown
// text and makes the text buttons of the file toolbar. It reaches the
// window through TTextCommandsWindow.

#include "framework/win/MessageDialog.h"
#include "framework/win/WinApi.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/TextCommands.h"
#include "mainwindow/win/MainWindowServices.h"

#include <commdlg.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qrv {

class TComboBox;
class TCommandMenus;
class TEasyEdit;
class THexEditor;
class TKyToolbar;
class TKyToolbarButton;
class TTextFileView;
class TWaitCursor;

class TTextCommandsWindow {
public:
    virtual ~TTextCommandsWindow() = default;
    // The changed text the display shows, and its save under that name
    // (with the backup the options ask for; a failure is reported).
    virtual std::optional<std::wstring> ModifiedTextName() = 0;
    [[nodiscard]] virtual bool SaveText(const std::wstring& FileName) = 0;
    // The last file operation's undo, and whether there is one.
    virtual bool FileUndoPossible() = 0;
    virtual void RunFileUndo() = 0;
    // The path box of the active list or the command box when it has the
    // focus, else nullptr.
    virtual TComboBox* FocusedLineBox() = 0;
    // The forced display mode (0 automatic, 1 hex, 2 text) and its change.
    virtual uint8_t ForcedDisplayMode() = 0;
    virtual void ChooseDisplayMode(uint8_t Mode) = 0;
    virtual HWND OwnerWindow() = 0;
};

struct TTextControls {
    TTextFileView* TextView = nullptr;
    TEasyEdit* Editor = nullptr;
    THexEditor* Hex = nullptr;
    TKyToolbar* Toolbar = nullptr;  // the file toolbar, for the text buttons
};

class TTextCommandsLink : private TTextCommandsHost {
public:
    TTextCommandsLink(TMainWindowServices& Services, TTextCommandsWindow& Window, const TTextControls& Controls);
    ~TTextCommandsLink() override;
    TTextCommandsLink(const TTextCommandsLink&) = delete;
    TTextCommandsLink& operator=(const TTextCommandsLink&) = delete;

    // Registers the commands' handlers and their check marks, makes the
    // buttons and takes the keys.
    void Connect(TActionCatalogue& Catalogue, TCommandMenus& Menus);

    TTextCommands& Commands() { return commands_; }

    // "&Speichern": the shown changed text, or the changed hex view.
    void SaveShown();
    void ToggleWordWrap();
    // A message of the owner window: the find dialog's notification (true:
    // it was one, and is handled), or a menu about to open, whose commands
    // then get their states.
    bool HandleWindowMessage(UINT Msg, LPARAM LParam);
    // A key for a text control; true when a command took it.
    bool HandleKey(const MSG& Msg);
    HWND FindDialog() const { return dialog_; }

private:
    // The commands' view of the controls.
    TTextFocus Focus() override;
    TSearchTarget* TextView() override;
    TTextTarget* Editor() override;
    THexTarget* HexView() override;
    TTextTarget* FocusedCombo() override;
    bool TextViewHasFile() override;
    bool FileUndoEnabled() override { return window_.FileUndoPossible(); }
    void FileUndo() override { window_.RunFileUndo(); }
    void ShowMessage(const std::wstring& Text, TTextMessage Kind) override;
    void Beep() override;
    bool PutClipboardText(const std::wstring& Text) override;
    std::optional<std::wstring> ClipboardText() override;
    int CompareLines(const std::wstring& A, const std::wstring& B) override;
    void OpenFindDialog(bool Replace, const std::wstring& Text) override;
    void SearchEditor(bool Replace, bool Again) override;
    void BeginBusy() override;
    void EndBusy() override;

    void ConnectViewerSwitches(TActionCatalogue& Catalogue, TCommandMenus& Menus);
    void CreateButtons(TCommandMenus& Menus);
    void UpdateButtons();

    class TRichTarget;
    class TEditorTarget;
    class TComboTarget;
    class THexViewTarget;

    TMainWindowServices& services_;
    TTextCommandsWindow& window_;
    TTextControls controls_;
    TTextCommands commands_{*this};
    std::unique_ptr<TRichTarget> rich_;
    std::unique_ptr<TEditorTarget> editor_;
    std::unique_ptr<TComboTarget> combo_;
    std::unique_ptr<THexViewTarget> hex_;
    std::unique_ptr<TWaitCursor> busy_;

    // The find and replace dialogs: one at a time, modeless; their buffers
    // and options live as long as the link, so each opens as it was left.
    UINT findMessage_ = 0;
    HWND dialog_ = nullptr;
    bool dialogReplaces_ = false;
    FINDREPLACEW find_{};
    wchar_t findText_[256] = {};
    wchar_t replaceText_[256] = {};

    std::function<bool(MSG&)> previousOnMessage_;
    bool hooked_ = false;
    TKyToolbarButton* hexButton_ = nullptr;
    TKyToolbarButton* textButton_ = nullptr;
};

}  // namespace qrv
