#include "mainwindow/win/TextCommandsLink.h"

#include "common/win/FileClipboard.h"
#include "editor/win/EasyEditor.h"
#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WaitCursor.h"
#include "mainwindow/SaveQuestion.h"
#include "mainwindow/win/EditorFindCaptions.h"
#include "mainwindow/win/CommandMenus.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/HexEditorFile.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <new>

namespace qrv {

namespace {

// The help context of the find and save messages.
constexpr int kTextHelpContext = 190;

bool HoldsFocus(TWinControl* Control)
{
    const HWND focus = GetFocus();
    return Control && focus && Control->HandleAllocated() &&
           (focus == Control->Handle() || IsChild(Control->Handle(), focus));
}

bool Shown(TWinControl* Control)
{
    return Control && Control->Visible() && Control->HandleAllocated();
}

}  // namespace

// ---- The targets --------------------------------------------------------------------------

class TTextCommandsLink::TRichTarget : public TSearchTarget {
public:
    explicit TRichTarget(TTextFileView& View) : view_(View) {}
    bool Writable() override { return !view_.ReadOnly(); }
    bool CanUndo() override { return view_.CanUndo(); }
    void Undo() override { view_.Undo(); }
    std::wstring SelText() override { return view_.SelText(); }
    void ReplaceSelection(const std::wstring& Text) override { view_.SetSelText(Text); }
    void SelectAll() override { Select(0, TextLength()); }
    int SelStart() override { return view_.SelStart(); }
    int SelLength() override { return view_.SelLength(); }
    void Select(int Start, int Length) override
    {
        CHARRANGE range{Start, Start + Length};
        SendMessageW(view_.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(view_.Handle(), EM_SCROLLCARET, 0, 0);
    }
    int TextLength() override
    {
        GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
        return static_cast<int>(SendMessageW(view_.Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    }
    int Find(const std::wstring& Text, int From, const TFindOptions& Options) override
    {
        unsigned options = 0;
        if (Options.MatchCase)
            options |= TKyRichEdit::stMatchCase;
        if (Options.WholeWord)
            options |= TKyRichEdit::stWholeWord;
        if (!Options.Down)
            return view_.FindText(Text, From, From, options | TKyRichEdit::stUp);
        return view_.FindText(Text, From, std::max(TextLength() - From, 0), options);
    }

private:
    TTextFileView& view_;
};

class TTextCommandsLink::TEditorTarget : public TTextTarget {
public:
    explicit TEditorTarget(TEasyEdit& Editor) : editor_(Editor) {}
    bool Writable() override { return !editor_.GetReadOnly(); }
    bool CanUndo() override { return editor_.CanUndo(); }
    void Undo() override { editor_.Undo(); }
    std::wstring SelText() override { return editor_.GetSelText(); }
    void ReplaceSelection(const std::wstring& Text) override { editor_.SetSelText(Text); }
    void SelectAll() override { editor_.SelectAll(); }

private:
    TEasyEdit& editor_;
};

// The edit field of a path or command box.
class TTextCommandsLink::TComboTarget : public TTextTarget {
public:
    void Attach(TComboBox* Box) { box_ = Box; }
    bool Writable() override { return true; }
    bool CanUndo() override { return false; }
    void Undo() override {}
    std::wstring SelText() override
    {
        const auto [start, end] = Selection();
        return box_->Text().substr(start, end - start);
    }
    void ReplaceSelection(const std::wstring& Text) override
    {
        const auto [start, end] = Selection();
        std::wstring text = box_->Text();
        text.replace(start, end - start, Text);
        box_->SetText(text);
        const DWORD caret = static_cast<DWORD>(start + Text.size());
        SendMessageW(box_->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    }
    void SelectAll() override { SendMessageW(box_->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); }

private:
    std::pair<size_t, size_t> Selection()
    {
        DWORD start = 0, end = 0;
        SendMessageW(box_->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const size_t length = box_->Text().size();
        return {std::min<size_t>(start, length), std::min<size_t>(std::max(start, end), length)};
    }
    TComboBox* box_ = nullptr;
};

class TTextCommandsLink::THexViewTarget : public THexTarget {
public:
    explicit THexViewTarget(THexEditor& Hex) : hex_(Hex) {}
    int64_t Size() override { return hex_.GetDataSize(); }
    THexSearchPlace Place() override
    {
        THexSearchPlace place;
        place.Caret = hex_.GetCaretOffset();
        place.SelCount = hex_.GetSelCount();
        place.SelStart = place.SelCount > 0 ? std::min(hex_.GetSelStart(), hex_.GetSelEnd()) : place.Caret;
        return place;
    }
    bool SwapNibbles() override { return hex_.SwapNibbles(); }
    std::optional<uint8_t> Encode(wchar_t C) override { return charset_.Type(C, hex_.Translation()); }
    int64_t Find(const std::vector<uint8_t>& Pattern, bool IgnoreCase, int64_t From) override
    {
        return hex_.Find(Pattern.data(), static_cast<int64_t>(Pattern.size()), false, IgnoreCase, Size() - 1, From);
    }
    void Select(int64_t Offset, int64_t Count) override
    {
        hex_.SetSelStart(Offset);
        hex_.SetSelEnd(Offset + Count - 1);
    }
    std::optional<std::wstring> SelectedText() override
    {
        const int64_t wanted = hex_.GetSelCount();
        if (wanted <= 0)
            return std::wstring();
        try {
            const int64_t start = std::min(hex_.GetSelStart(), hex_.GetSelEnd());
            int64_t count = wanted;
            const std::vector<uint8_t> bytes = hex_.BufferFromFile(start, count);
            if (count <= 0)
                return std::nullopt;
            // The bytes as the character pane shows them; line ends and tabs
            // stay what they are.
            std::wstring text;
            text.reserve(static_cast<size_t>(count));
            for (int64_t i = 0; i < count; ++i) {
                const uint8_t b = bytes[static_cast<size_t>(i)];
                text += b == '\r' || b == '\n' || b == '\t'
                            ? static_cast<wchar_t>(b)
                            : static_cast<wchar_t>(charset_.Display(b, hex_.Translation(), true, L'.'));
            }
            return text;
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    }

private:
    THexEditor& hex_;
    TWinHexCodePages pages_;
    THexCharset charset_{pages_};
};

// ---- The link -------------------------------------------------------------------------------

TTextCommandsLink::TTextCommandsLink(TMainWindowServices& Services, TTextCommandsWindow& Window,
                                     const TTextControls& Controls)
    : services_(Services), window_(Window), controls_(Controls), combo_(std::make_unique<TComboTarget>())
{
    if (controls_.TextView)
        rich_ = std::make_unique<TRichTarget>(*controls_.TextView);
    if (controls_.Editor)
        editor_ = std::make_unique<TEditorTarget>(*controls_.Editor);
    if (controls_.Hex)
        hex_ = std::make_unique<THexViewTarget>(*controls_.Hex);
    findMessage_ = RegisterWindowMessageW(FINDMSGSTRINGW);
    find_.lStructSize = sizeof(find_);
    find_.Flags = FR_DOWN;
    find_.lpstrFindWhat = findText_;
    find_.wFindWhatLen = static_cast<WORD>(std::size(findText_));
    find_.lpstrReplaceWith = replaceText_;
    find_.wReplaceWithLen = static_cast<WORD>(std::size(replaceText_));
}

TTextCommandsLink::~TTextCommandsLink()
{
    if (Application && hooked_)
        Application->OnMessage = previousOnMessage_;
    if (dialog_ && IsWindow(dialog_))
        DestroyWindow(dialog_);
}

TTextFocus TTextCommandsLink::Focus()
{
    if (Shown(controls_.TextView) && HoldsFocus(controls_.TextView))
        return TTextFocus::TextView;
    if (Shown(controls_.Editor) && HoldsFocus(controls_.Editor))
        return TTextFocus::Editor;
    if (Shown(controls_.Hex) && HoldsFocus(controls_.Hex))
        return TTextFocus::HexView;
    if (window_.FocusedLineBox())
        return TTextFocus::Combo;
    return TTextFocus::Other;
}

TSearchTarget* TTextCommandsLink::TextView()
{
    return rich_ && Shown(controls_.TextView) ? rich_.get() : nullptr;
}

TTextTarget* TTextCommandsLink::Editor()
{
    return editor_ && Shown(controls_.Editor) ? editor_.get() : nullptr;
}

THexTarget* TTextCommandsLink::HexView()
{
    return hex_ && Shown(controls_.Hex) ? hex_.get() : nullptr;
}

TTextTarget* TTextCommandsLink::FocusedCombo()
{
    TComboBox* box = window_.FocusedLineBox();
    if (!box)
        return nullptr;
    combo_->Attach(box);
    return combo_.get();
}

bool TTextCommandsLink::TextViewHasFile()
{
    return controls_.TextView && !controls_.TextView->FileName().empty();
}

void TTextCommandsLink::ShowMessage(const std::wstring& Text, TTextMessage Kind)
{
    if (Kind == TTextMessage::Error)
        MessageBeep(MB_ICONHAND);
    services_.ShowMessageBox(Text, Kind == TTextMessage::Error ? TMsgDlgType::mtError : TMsgDlgType::mtInformation,
                             kTextHelpContext, mbOK | mbHelp);
}

void TTextCommandsLink::Beep()
{
    MessageBeep(MB_ICONHAND);
}

bool TTextCommandsLink::PutClipboardText(const std::wstring& Text)
{
    return PutTextOnClipboard(window_.OwnerWindow(), std::u16string(Text.begin(), Text.end())) != 0;
}

std::optional<std::wstring> TTextCommandsLink::ClipboardText()
{
    const std::optional<std::u16string> text = ReadClipboardText(window_.OwnerWindow());
    if (!text)
        return std::nullopt;
    return std::wstring(text->begin(), text->end());
}

int TTextCommandsLink::CompareLines(const std::wstring& A, const std::wstring& B)
{
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.c_str(), static_cast<int>(A.size()), B.c_str(),
                          static_cast<int>(B.size())) -
           CSTR_EQUAL;
}

void TTextCommandsLink::BeginBusy()
{
    busy_ = std::make_unique<TWaitCursor>();
}

void TTextCommandsLink::EndBusy()
{
    busy_.reset();
}

void TTextCommandsLink::OpenFindDialog(bool Replace, const std::wstring& Text)
{
    if (dialog_ && IsWindow(dialog_)) {
        if (dialogReplaces_ == Replace) {
            SetFocus(dialog_);
            return;
        }
        DestroyWindow(dialog_);
        dialog_ = nullptr;
    }
    wcsncpy(findText_, Text.c_str(), std::size(findText_) - 1);
    findText_[std::size(findText_) - 1] = L'\0';
    find_.hwndOwner = window_.OwnerWindow();
    // The dialog's notifications say what was asked; a new dialog starts
    // with the options of the last one.
    find_.Flags &= FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD;
    dialogReplaces_ = Replace;
    // While the dialog has the focus the text shows its matches.
    if (controls_.TextView)
        controls_.TextView->SetHideSelection(false);
    dialog_ = Replace ? ReplaceTextW(&find_) : FindTextW(&find_);
    if (!dialog_)
        TraceIgnoredFailure(L"open the find dialog", CommDlgExtendedError());
}

void TTextCommandsLink::SearchEditor(bool Replace, bool Again)
{
    TEasyEdit* editor = controls_.Editor;
    if (!editor) {
        Beep();
        return;
    }
    if (Again)
        editor->FindNext(Replace ? 27 : 26);
    else
        editor->ExecuteDialog(Replace ? 27 : 26);
}

bool TTextCommandsLink::HandleWindowMessage(UINT Msg, LPARAM LParam)
{
    // The text's selection changes without telling the window.
    if (Msg == WM_INITMENUPOPUP)
        services_.UpdateActionStates();
    if (Msg != findMessage_ || findMessage_ == 0)
        return false;
    const auto* find = reinterpret_cast<const FINDREPLACEW*>(LParam);
    if (find->Flags & FR_DIALOGTERM) {
        dialog_ = nullptr;
        if (controls_.TextView)
            controls_.TextView->SetHideSelection(true);
        return true;
    }
    TFindRequest request;
    request.Text = find->lpstrFindWhat;
    request.Options.MatchCase = (find->Flags & FR_MATCHCASE) != 0;
    request.Options.WholeWord = (find->Flags & FR_WHOLEWORD) != 0;
    request.Options.Down = (find->Flags & FR_DOWN) != 0;
    if (find->Flags & FR_REPLACEALL)
        commands_.Replace(request, find->lpstrReplaceWith, true);
    else if (find->Flags & FR_REPLACE)
        commands_.Replace(request, find->lpstrReplaceWith, false);
    else if (find->Flags & FR_FINDNEXT)
        commands_.Find(request);
    return true;
}

bool TTextCommandsLink::HandleKey(const MSG& Msg)
{
    if (dialog_ && IsWindow(dialog_) && IsDialogMessageW(dialog_, const_cast<MSG*>(&Msg)))
        return true;
    if (Msg.message != WM_KEYDOWN)
        return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (alt || shift)
        return false;
    const auto in = [&Msg](TWinControl* Control) {
        return Shown(Control) && (Msg.hwnd == Control->Handle() || IsChild(Control->Handle(), Msg.hwnd));
    };
    const WPARAM key = Msg.wParam;
    const bool text = in(controls_.TextView);
    const bool hex = in(controls_.Hex);
    if (!ctrl && key == VK_F3 && (text || hex)) {
        commands_.SearchNext();
        return true;
    }
    if (!ctrl)
        return false;
    if (key == 'F' && (text || hex)) {
        commands_.Search();
        return true;
    }
    if (text) {
        switch (key) {
        case 'Z':
            commands_.Undo();
            return true;
        case 'C':
            commands_.Copy();
            return true;
        case 'X':
            commands_.Cut();
            return true;
        case 'V':
            commands_.Paste();
            return true;
        default:
            return false;
        }
    }
    // The editor's own Strg+Z stops at its last change; through the
    // command it undoes the last file operation after that.
    if (key == 'Z' && in(controls_.Editor)) {
        commands_.Undo();
        return true;
    }
    if (hex && key == 'C') {
        commands_.Copy();
        return true;
    }
    // The one-line boxes take one line of a pasted text.
    if (key == 'V' && window_.FocusedLineBox()) {
        commands_.Paste();
        return true;
    }
    return false;
}

void TTextCommandsLink::SaveShown()
{
    if (const std::optional<std::wstring> name = window_.ModifiedTextName()) {
        std::unique_ptr<TWaitCursor> hourglass;
        if (Editor())
            hourglass = std::make_unique<TWaitCursor>();
        if (!window_.SaveText(*name))
            TraceIgnoredFailure(L"save the shown text", 0);
        return;
    }
    THexEditor* hex = controls_.Hex;
    if (HexView() && !hex->ReadOnlyView() && hex->Modified()) {
        if (!hex->SaveToFile(hex->FileName())) {
            MessageBeep(MB_ICONHAND);
            services_.ShowMessageBox(SaveErrorText(hex->FileName()), TMsgDlgType::mtError, kTextHelpContext,
                                     mbOK | mbHelp);
        }
        return;
    }
    Beep();
}

void TTextCommandsLink::ToggleWordWrap()
{
    TTextFileView* view = controls_.TextView;
    const bool wrap = view ? !view->WordWrap() : !(controls_.Editor && controls_.Editor->WordWrap());
    if (view)
        view->SetWordWrap(wrap);
    if (TEasyEdit* editor = controls_.Editor) {
        editor->SetWordWrap(wrap);
        if (wrap)
            editor->SetBlockSelMode(TEasyBlockSelMode::bsBoth);
    }
}

void TTextCommandsLink::Connect(TActionCatalogue& Catalogue, TCommandMenus& Menus)
{
    using A = TActionId;
    auto on = [&Catalogue](TActionId Id, std::function<void()> Execute) { Catalogue.Register(Id, std::move(Execute)); };
    TTextCommands& commands = commands_;
    on(A::TextUndo, [&commands] { commands.Undo(); });
    on(A::TextCut, [&commands] { commands.Cut(); });
    on(A::TextCopy, [&commands] { commands.Copy(); });
    on(A::TextPaste, [&commands] { commands.Paste(); });
    on(A::TextDelete, [&commands] { commands.Delete(); });
    on(A::TextSelectAll, [&commands] { commands.SelectAll(); });
    on(A::TextSearch, [&commands] { commands.Search(); });
    on(A::TextSearchNext, [&commands] { commands.SearchNext(); });
    on(A::TextReplace, [&commands] { commands.OpenReplace(); });
    on(A::TextSort, [&commands] { commands.Sort(); });
    on(A::TextFileSave, [this] { SaveShown(); });
    on(A::WordWrap, [this] { ToggleWordWrap(); });
    if (TAction* wrap = Menus.Action(A::WordWrap))
        wrap->OnUpdate = [this, wrap](TComponent*) {
            if (controls_.TextView)
                wrap->SetChecked(controls_.TextView->WordWrap());
        };
    ConnectViewerSwitches(Catalogue, Menus);
    CreateButtons(Menus);
    // The editor's own find and replace forms speak German.
    if (TEasyEdit* editor = controls_.Editor)
        editor->OnAfterCreateDialog = [](TComponent*, int, TForm* Form) {
            if (Form)
                GermanEditorFindForm(*Form, kTextHelpContext);
        };
    // The keys reach the commands before the controls or the shortcuts see
    // them; the dialog gets its Tab, Enter and Esc.
    if (Application) {
        previousOnMessage_ = Application->OnMessage;
        hooked_ = true;
        Application->OnMessage = [this](MSG& Msg) {
            return HandleKey(Msg) || (previousOnMessage_ && previousOnMessage_(Msg));
        };
    }
}

void TTextCommandsLink::ConnectViewerSwitches(TActionCatalogue& Catalogue, TCommandMenus& Menus)
{
    using A = TActionId;
    // A switch: its handler, and the check mark it reads when the menus update.
    auto toggle = [&](TActionId Id, std::function<void()> Execute, std::function<bool()> Checked) {
        Catalogue.Register(Id, std::move(Execute));
        if (TAction* action = Menus.Action(Id))
            action->OnUpdate = [action, checked = std::move(Checked)](TComponent*) { action->SetChecked(checked()); };
    };
    TTextFileView* view = controls_.TextView;
    TEasyEdit* editor = controls_.Editor;
    THexEditor* hex = controls_.Hex;

    auto lineBreak = [this, view, editor](bool Unix) {
        if (view && Shown(view)) {
            view->SetFileFormat(Unix ? TFileFormat::ffUNIX : TFileFormat::ffDOS);
            view->SetModified(true);
        }
        if (editor)
            editor->SetLineBreak(Unix ? TEasyLineBreak::lbLF : TEasyLineBreak::lbCRLF);
    };
    auto unixShown = [this, view, editor] {
        if (view && Shown(view))
            return view->FileFormat() == TFileFormat::ffUNIX;
        return editor && Shown(editor) && editor->LineBreak() == TEasyLineBreak::lbLF;
    };
    toggle(
        A::TextCRLF, [lineBreak] { lineBreak(false); }, [unixShown] { return !unixShown(); });
    toggle(
        A::TextLF, [lineBreak] { lineBreak(true); }, unixShown);

    auto characterSet = [this, editor](bool Unicode) {
        if (!editor || editor->GetReadOnly()) {
            Beep();
            return;
        }
        editor->Lines().SetUnicode(Unicode);
        editor->SetModified(true);
    };
    toggle(
        A::TextAnsi, [characterSet] { characterSet(false); },
        [editor] { return editor && !editor->Lines().Unicode(); });
    toggle(
        A::TextUnicode, [characterSet] { characterSet(true); },
        [editor] { return editor && editor->Lines().Unicode(); });
    toggle(
        A::TextShowRulers,
        [editor] {
            if (editor)
                editor->SetRulerOptions(editor->RulerOptions() ^ roHorzRuler);
        },
        [editor] { return editor && (editor->RulerOptions() & roHorzRuler) != 0; });
    toggle(
        A::TextMarkColumn,
        [editor] {
            if (editor)
                editor->SetBlockSelMode(editor->BlockSelMode() == TEasyBlockSelMode::bsBlock
                                            ? TEasyBlockSelMode::bsBoth
                                            : TEasyBlockSelMode::bsBlock);
        },
        [editor] { return editor && editor->BlockSelMode() == TEasyBlockSelMode::bsBlock; });

    // The hex view's settings: each item sets one value and shows whether it is the current one.
    auto choices = [&toggle](const auto& Table, auto Set, auto Get) {
        for (const auto& entry : Table) {
            const auto value = entry.second;
            toggle(
                entry.first, [Set, value] { Set(value); }, [Get, value] { return Get() == value; });
        }
    };
    const std::pair<TActionId, TTranslationType> translations[] = {
        {A::TransAnsi, TTranslationType::ttAnsi},     {A::TransDOS8, TTranslationType::ttDos8},
        {A::TransASCII, TTranslationType::ttASCII},   {A::TransMac, TTranslationType::ttMac},
        {A::TransEBCDIC, TTranslationType::ttEBCDIC},
    };
    const std::pair<TActionId, TOffsetDisplayStyle> offsets[] = {
        {A::OffsDec, TOffsetDisplayStyle::odDec},
        {A::OffsHex, TOffsetDisplayStyle::odHex},
        {A::OffsNone, TOffsetDisplayStyle::odNone},
    };
    const std::pair<TActionId, int> lineWidths[] = {
        {A::HexLine16, 16}, {A::HexLine24, 24}, {A::HexLine32, 32}, {A::HexLine48, 48}, {A::HexLine64, 64},
    };
    const std::pair<TActionId, int> columnWidths[] = {{A::HexColumn1, 1}, {A::HexColumn2, 2}, {A::HexColumn4, 4}};
    choices(
        translations, [hex](TTranslationType Value) { hex->SetTranslation(Value); },
        [hex] { return hex->Translation(); });
    choices(
        offsets, [hex](TOffsetDisplayStyle Value) { hex->SetOffsetDisplay(Value); },
        [hex] { return hex->OffsetDisplay(); });
    choices(
        lineWidths, [hex](int Value) { hex->SetBytesPerLine(Value); }, [hex] { return hex->BytesPerLine(); });
    choices(
        columnWidths, [hex](int Value) { hex->SetBytesPerColumn(Value); }, [hex] { return hex->GetBytesPerColumn(); });
}

void TTextCommandsLink::CreateButtons(TCommandMenus& Menus)
{
    TKyToolbar* toolbar = controls_.Toolbar;
    if (!toolbar)
        return;
    TComponent* owner = toolbar->Owner();
    auto button = [&](const wchar_t* Name, const wchar_t* Caption, const wchar_t* Hint) {
        auto* b = new TKyToolbarButton(owner);
        b->SetName(Name);
        b->SetCaption(Caption);
        b->SetHint(Hint);
        b->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        const SIZE label = MeasureText(b->Font().Handle(), Caption);
        b->SetWidth(std::max(b->Width(), static_cast<int>(label.cx) + 16));
        b->SetParent(toolbar);
        return b;
    };
    // Named as the rules' rows, so that the action pass enables them.
    TKyToolbarButton* save = button(L"btnSaveTextFile", L"Speichern", L"Geänderte Datei speichern");
    save->OnClick = [this](TComponent*) { SaveShown(); };
    TKyToolbarButton* wrap = button(L"btnWordWrap", L"Umbruch", L"Zeilenumbruch ein/aus");
    wrap->OnClick = [this](TComponent*) { ToggleWordWrap(); };
    if (TAction* undo = Menus.Action(TActionId::FileUndo)) {
        TKyToolbarButton* undoButton = button(L"btnUndo", L"Rückgängig", L"Rückgängig");
        undo->Link(undoButton);
    }
    hexButton_ = button(L"btnHex", L"Hex", L"Datei hexadezimal anzeigen");
    textButton_ = button(L"btnText", L"Text", L"Datei als Text anzeigen");
    auto click = [this](uint8_t Mode) {
        window_.ChooseDisplayMode(ModeOfButton(window_.ForcedDisplayMode(), Mode));
        UpdateButtons();
    };
    // One group that may be all up: at most one mode is forced.
    for (TKyToolbarButton* modeButton : {hexButton_, textButton_}) {
        modeButton->SetGroupIndex(1);
        modeButton->SetAllowAllUp(true);
    }
    hexButton_->OnClick = [click](TComponent*) { click(1); };
    textButton_->OnClick = [click](TComponent*) { click(2); };
    // The buttons show the mode whichever way it changed.
    if (TAction* automatic = Menus.Action(TActionId::DispAuto)) {
        auto previous = automatic->OnUpdate;
        automatic->OnUpdate = [this, previous](TComponent* Sender) {
            if (previous)
                previous(Sender);
            UpdateButtons();
        };
    }
    UpdateButtons();
}

void TTextCommandsLink::UpdateButtons()
{
    const uint8_t mode = window_.ForcedDisplayMode();
    if (hexButton_)
        hexButton_->SetDown(mode == 1);
    if (textButton_)
        textButton_->SetDown(mode == 2);
}

}  // namespace qrv
