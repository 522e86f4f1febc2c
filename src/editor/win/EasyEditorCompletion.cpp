// The editor's side of completion and brackets: the owner's events, the
// pick list in its popup below the caret, the hint, timer 12 and the bold
// bracket pair around the caret.

#include "editor/win/EasyEditor.h"

#include "editor/WideText.h"
#include "editor/win/EasyHint.h"
#include "editor/win/EasyListBox.h"
#include "editor/win/EasyPopup.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr UINT_PTR kCompletionTimer = 12;

}  // namespace

std::wstring TCustomEasyEdit::AutoCorrectDelims() const
{
    return ToWide(completion_.AutoCorrectDelims);
}

void TCustomEasyEdit::SetAutoCorrectDelims(const std::wstring& delims)
{
    completion_.AutoCorrectDelims = ToUtf16(delims);
}

bool TCustomEasyEdit::AutoComplete(std::vector<std::u16string>& items, char16_t key)
{
    if (!OnAutoComplete)
        return false;
    std::vector<std::wstring> strings;
    bool allow = true;
    OnAutoComplete(this, strings, static_cast<wchar_t>(key), allow);
    items.clear();
    for (const std::wstring& item : strings)
        items.push_back(ToUtf16(item));
    return allow;
}

bool TCustomEasyEdit::DisplayHint(std::u16string& hint, char16_t key)
{
    if (!OnDisplayHint)
        return false;
    std::wstring text;
    bool allow = true;
    OnDisplayHint(this, text, static_cast<wchar_t>(key), allow);
    hint = ToUtf16(text);
    return allow;
}

void TCustomEasyEdit::BeforeInsertPopup(std::u16string& text)
{
    if (!OnBeforeInsertPopup)
        return;
    std::wstring wide = ToWide(text);
    OnBeforeInsertPopup(this, wide);
    text = ToUtf16(wide);
}

bool TCustomEasyEdit::WordAutoCorrect(const std::u16string& word, std::u16string& correct)
{
    if (!OnWordAutoCorrect)
        return false;
    std::wstring wide = ToWide(correct);
    bool has = false;
    OnWordAutoCorrect(this, ToWide(word), wide, has);
    correct = ToUtf16(wide);
    return has;
}

TEasyListBox* TCustomEasyEdit::ShownList()
{
    TEasyPopup* popup = ActivePopup();
    return popupList_ && popup && !popup->Closed() && popup->ListBox() == popupList_ ? popupList_ : nullptr;
}

TEasyListBox& TCustomEasyEdit::PopupList()
{
    if (popupList_)
        return *popupList_;
    popupList_ = new TEasyListBox(this);
    popupList_->SetVisible(false);
    // A hidden child of the editor: the focus comes back here when the
    // popup closes.
    popupList_->SetParent(this);
    popupList_->AddMessageListener([this](TMessage& message) {
        if (!ShownList())
            return false;
        switch (message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            switch (ListKeyTarget(static_cast<unsigned>(message.WParam), GetKeyState(VK_CONTROL) < 0)) {
            case TEasyListKey::List:
                return false;
            case TEasyListKey::Accept:
                // The space's character follows to the list box, hidden
                // by then: it is not typed.
                ClosePopupList(true);
                break;
            case TEasyListKey::CloseAndEditor:
                ClosePopupList(false);
                SendMessageW(handle_, message.Msg, message.WParam, message.LParam);
                break;
            case TEasyListKey::Editor:
                SendMessageW(handle_, message.Msg, message.WParam, message.LParam);
                break;
            }
            message.Result = 0;
            return true;
        case WM_CHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SendMessageW(handle_, message.Msg, message.WParam, message.LParam);
            message.Result = 0;
            return message.Msg == WM_CHAR;
        default:
            return false;
        }
    });
    return *popupList_;
}

void TCustomEasyEdit::ShowList(const std::vector<std::wstring>& lines, int chosen)
{
    if (!HandleAllocated() || lines.empty())
        return;
    TEasyListBox& list = PopupList();
    list.Font().Assign(Font());
    list.ClearItems();
    for (const std::wstring& line : lines)
        list.AddItem(line);
    const int itemHeight = std::max(list.ItemHeight(), 1);
    int width = std::max(popupWindow_.Width, 16);
    const int height = std::max(popupWindow_.Height, itemHeight + 4);
    if (popupWindow_.AdjustSize) {
        // As wide as the widest line, half the screen at most, and room for
        // the bar when the lines do not fit.
        width = std::min(list.AlignColumns() + 8, GetSystemMetrics(SM_CXSCREEN) / 2);
        if (int64_t(lines.size()) * itemHeight > height - 4)
            width += GetSystemMetrics(SM_CXVSCROLL);
    }
    list.SetBounds(0, 0, width, height);

    // Below the caret's row; above it where the screen ends, and moved left
    // where it would pass the screen's right edge.
    const TCustomEasyEditSource& source = *GetEditSource();
    const POINT caret = TextToClient({source.CaretX(), source.CaretY()});
    POINT below{caret.x, caret.y + LineHeight()};
    POINT screen = below;
    ClientToScreen(handle_, &screen);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (screen.y + height > screenHeight)
        below.y = caret.y - height;
    if (screen.x + width > screenWidth)
        below.x -= screen.x + width - screenWidth;
    const bool shown = ShowPopupList(
        &list, this, below.x, below.y,
        [this](TCustomListBox* box) {
            if (box)
                completion_.Accept(box->ItemIndex());
        },
        popupWindow_.SizeAble);
    if (shown)
        list.SetItemIndex(std::clamp(chosen, 0, int(lines.size()) - 1));
}

void TCustomEasyEdit::ChooseListItem(int index)
{
    if (TEasyListBox* list = ShownList())
        list->SetItemIndex(index);
}

void TCustomEasyEdit::CloseList()
{
    if (ShownList())
        ClosePopupList(false);
}

void TCustomEasyEdit::ShowHint(const std::u16string& text)
{
    if (!HandleAllocated())
        return;
    if (!ownerHint_) {
        // Shown at once wherever the mouse is; the next key hides it.
        ownerHint_ = new TEasyHint(this);
        ownerHint_->SetImmediate(true);
        ownerHint_->SetAutoHide(false);
        ownerHint_->SetTrackArea(false);
    }
    const TCustomEasyEditSource& source = *GetEditSource();
    POINT at = TextToClient({source.CaretX(), source.CaretY()});
    at.y += LineHeight();
    ClientToScreen(handle_, &at);
    ownerHint_->ShowAt(at, ToWide(text));
}

bool TCustomEasyEdit::HintShowing()
{
    return ownerHint_ && ownerHint_->Visible();
}

void TCustomEasyEdit::StartTimer(int ms)
{
    if (HandleAllocated())
        SetTimer(handle_, kCompletionTimer, UINT(std::max(ms, 1)), nullptr);
}

void TCustomEasyEdit::StopTimer()
{
    if (HandleAllocated())
        KillTimer(handle_, kCompletionTimer);
}

// ---- brackets --------------------------------------------------------------------

void TCustomEasyEdit::UpdateBrackets()
{
    std::optional<TEasyBracketPair> pair;
    if (options_ & eoHighlightBrackets) {
        // The rows shown and a screen around the caret bound the scan.
        const TCustomEasyEditSource& source = *GetEditSource();
        const int screen = std::max(VisibleRows(), 1);
        const int caretLine = source.CaretY();
        const int top = std::min(RowToLine(topRow_), caretLine);
        pair = FindEnclosingBrackets(Lines(), source.CaretPoint(), std::max(top - screen, caretLine - 2 * screen),
                                     caretLine + 2 * screen);
    }
    if (pair == brackets_)
        return;
    brackets_ = pair;
    Invalidate();
}

bool TCustomEasyEdit::PainterBracketHighlighted(int line, int column)
{
    if (!brackets_)
        return false;
    const TEasyPoint at{column, line};
    return at == brackets_->Open || at == brackets_->Close;
}

}  // namespace qrv
