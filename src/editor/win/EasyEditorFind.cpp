// The editor's find, replace and go-to-line forms, search again and
// incremental search, over TEasySearchRunner.

#include "editor/WideText.h"
#include "editor/win/EasyEditor.h"
#include "editor/win/EasyFindDialogs.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WaitCursor.h"

#include <memory>

namespace qrv {

namespace {

// A form that answers this message with anything but 0 is shown modelessly.
constexpr UINT kDialogModalityQuery = 0x857;

std::wstring WithoutTrailingBreak(std::wstring text)
{
    for (int i = 0; i < 2 && !text.empty() && (text.back() == L'\r' || text.back() == L'\n'); ++i)
        text.pop_back();
    return text;
}

}  // namespace

bool TCustomEasyEdit::CreateDialog(int code, TForm*& form, bool& modal)
{
    form = nullptr;
    modal = true;
    bool handled = false;
    if (OnBeforeCreateDialog)
        OnBeforeCreateDialog(this, code, form, modal, handled);
    TEasySearchSettings& settings = search_.Settings();
    if (!handled) {
        if ((code == 26 || code == 27) && (options_ & eoFindTextAtCursor)) {
            if (selMode_ != smNone) {
                settings.TextToFind = WithoutTrailingBreak(GetSelText());
            } else {
                // On a blank the last search text stays.
                const std::u16string word = GetEditSource()->WordAtPoint(GetEditSource()->CaretPoint(), false);
                if (!word.empty())
                    settings.TextToFind = ToWide(word);
            }
        }
        form = CreateEasyDialog(code);
    }
    if (code == 28)
        settings.GotoLineNumber = GetEditSource()->CaretY() + 1;
    if (!form)
        return false;
    modal = SendMessageW(form->Handle(), kDialogModalityQuery, reinterpret_cast<WPARAM>(this), code) == 0;
    if (OnAfterCreateDialog)
        OnAfterCreateDialog(this, code, form);
    return true;
}

void TCustomEasyEdit::ExecuteDialog(int code)
{
    TForm* made = nullptr;
    bool modal = true;
    if (!CreateDialog(code, made, modal))
        return;
    if (!modal) {
        made->Show();
        return;
    }
    const std::unique_ptr<TForm> form(made);
    const int result = form->ShowModal();
    if (result == mrCancel)
        return;
    switch (code) {
    case 26:
        search_.FindFromDialog();
        break;
    case 27:
        search_.ReplaceFromDialog();
        break;
    case 28: {
        TCustomEasyEditSource& source = *GetEditSource();
        source.SetCaretPos(source.CaretX(), search_.Settings().GotoLineNumber - 1);
        break;
    }
    default:
        break;
    }
    if (HandleAllocated()) {
        if (CanTakeFocus())
            SetFocus();
        MakeCaretVisible();
    }
}

void TCustomEasyEdit::FindNext(int code)
{
    // Nothing searched yet: the find form asks for the text.
    if (search_.Settings().TextToFind.empty() && !search_.IncrementalActive()) {
        ExecuteDialog(code == 27 ? 27 : 26);
        return;
    }
    search_.FindNext(code);
    if (HandleAllocated())
        MakeCaretVisible();
}

void TCustomEasyEdit::StartIncrementalSearch()
{
    search_.StartIncrementalSearch();
}

void TCustomEasyEdit::IncrementalSearchChanged()
{
    Invalidate();
    DoSourceChanged(csIncrementalSearchChanged);
}

bool TCustomEasyEdit::OtherCommand(TEasyKeyHandler handler, int code)
{
    switch (handler) {
    case TEasyKeyHandler::ExecuteDialog:
        ExecuteDialog(code);
        return true;
    case TEasyKeyHandler::FindNext:
        FindNext(code);
        return true;
    case TEasyKeyHandler::StartIncrementalSearch:
        StartIncrementalSearch();
        return true;
    case TEasyKeyHandler::InsertCodeTemplate:
        completion_.InsertCodeTemplate();
        return true;
    case TEasyKeyHandler::LineCommand:
        if (code == 17) {
            search_.EndIncrementalSearch();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void TCustomEasyEdit::ShowSearchBox(const std::wstring& text, TEasySearchBox kind)
{
    // The box belongs to the user, not to the hourglass of the search.
    const std::unique_ptr<TWaitCursor> hourglass = std::move(searchHourglass_);
    if (hourglass)
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const bool focused = Focused();
    MessageDlg(text, kind == TEasySearchBox::Error ? TMsgDlgType::mtError : TMsgDlgType::mtInformation, mbOK);
    // The box gave the focus to the window; the text takes it back.
    if (focused && CanTakeFocus())
        SetFocus();
    if (hourglass)
        searchHourglass_ = std::make_unique<TWaitCursor>();
}

TEasyReplaceAnswer TCustomEasyEdit::AskReplace(const std::wstring& text)
{
    const std::unique_ptr<TWaitCursor> hourglass = std::move(searchHourglass_);
    if (hourglass)
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const bool focused = Focused();
    const int answer = MessageDlg(text, TMsgDlgType::mtWarning, mbYes | mbNo | mbCancel | mbAll);
    if (focused && CanTakeFocus())
        SetFocus();
    if (hourglass)
        searchHourglass_ = std::make_unique<TWaitCursor>();
    switch (answer) {
    case mrYes:
        return TEasyReplaceAnswer::Yes;
    case mrNo:
        return TEasyReplaceAnswer::No;
    case mrAll:
        return TEasyReplaceAnswer::All;
    default:
        return TEasyReplaceAnswer::Cancel;
    }
}

void TCustomEasyEdit::BeginBusy()
{
    if (searchBusy_++ == 0)
        searchHourglass_ = std::make_unique<TWaitCursor>();
}

void TCustomEasyEdit::EndBusy()
{
    if (searchBusy_ > 0 && --searchBusy_ == 0)
        searchHourglass_.reset();
}

std::vector<TEasyColumnSpan> TCustomEasyEdit::PainterSearchMatches(int line)
{
    if (!search_.HasMatch() || search_.MatchStart().Y != line)
        return {};
    const int start = search_.MatchStart().X;
    return {TEasyColumnSpan{start, start + std::max(search_.MatchLength(), 1)}};
}

}  // namespace qrv
