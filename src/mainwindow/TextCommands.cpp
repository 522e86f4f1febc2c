#include "mainwindow/TextCommands.h"

#include <cwctype>

namespace qrv {

namespace {

bool SameMatch(const std::wstring& Selected, const std::wstring& Wanted, bool MatchCase)
{
    if (Selected.size() != Wanted.size())
        return false;
    if (MatchCase)
        return Selected == Wanted;
    for (size_t i = 0; i < Selected.size(); ++i)
        if (std::towlower(Selected[i]) != std::towlower(Wanted[i]))
            return false;
    return true;
}

}  // namespace

TTextTarget* TTextCommands::FocusedText()
{
    switch (host_.Focus()) {
    case TTextFocus::TextView:
        return host_.TextView();
    case TTextFocus::Editor:
        return host_.Editor();
    case TTextFocus::Combo:
        return host_.FocusedCombo();
    default:
        return nullptr;
    }
}

void TTextCommands::Copy()
{
    if (host_.Focus() == TTextFocus::HexView) {
        THexTarget* hex = host_.HexView();
        if (!hex) {
            host_.Beep();
            return;
        }
        const std::optional<std::wstring> text = hex->SelectedText();
        if (!text) {
            host_.ShowMessage(L"Die markierten Bytes passen nicht in den Speicher.", TTextMessage::Error);
            return;
        }
        if (text->empty() || !host_.PutClipboardText(*text))
            host_.Beep();
        return;
    }
    TTextTarget* target = FocusedText();
    const std::wstring selected = target ? target->SelText() : std::wstring();
    if (selected.empty() || !host_.PutClipboardText(selected))
        host_.Beep();
}

void TTextCommands::Cut()
{
    TTextTarget* target = FocusedText();
    const std::wstring selected = target ? target->SelText() : std::wstring();
    if (selected.empty() || !target->Writable() || !host_.PutClipboardText(selected)) {
        host_.Beep();
        return;
    }
    target->ReplaceSelection(L"");
}

void TTextCommands::Paste()
{
    const TTextFocus focus = host_.Focus();
    TTextTarget* target = FocusedText();
    const bool allowed = target && target->Writable() && (focus != TTextFocus::TextView || host_.TextViewHasFile());
    const std::optional<std::wstring> text = allowed ? host_.ClipboardText() : std::nullopt;
    if (!text) {
        host_.Beep();
        return;
    }
    target->ReplaceSelection(focus == TTextFocus::Combo ? OneLinePasteText(*text) : *text);
}

void TTextCommands::Delete()
{
    TTextTarget* target = FocusedText();
    if (!target || !target->Writable() || target->SelText().empty()) {
        host_.Beep();
        return;
    }
    target->ReplaceSelection(L"");
}

void TTextCommands::SelectAll()
{
    if (TTextTarget* target = FocusedText())
        target->SelectAll();
    else
        host_.Beep();
}

bool TTextCommands::UndoText()
{
    TUndoFacts facts;
    switch (host_.Focus()) {
    case TTextFocus::TextView:
        facts.Focus = TActionFocus::TextView;
        if (TTextTarget* view = host_.TextView())
            facts.TextViewCanUndo = view->CanUndo();
        facts.TextViewHasFile = host_.TextViewHasFile();
        break;
    case TTextFocus::Editor:
        facts.Focus = TActionFocus::Editor;
        if (TTextTarget* editor = host_.Editor()) {
            facts.EditorCanUndo = editor->CanUndo();
            facts.EditorReadOnly = !editor->Writable();
        }
        break;
    default:
        break;
    }
    switch (ChooseUndo(facts)) {
    case TUndoTarget::TextView:
        host_.TextView()->Undo();
        return true;
    case TUndoTarget::Editor:
        host_.Editor()->Undo();
        return true;
    default:
        return false;
    }
}

void TTextCommands::Undo()
{
    if (UndoText())
        return;
    // FileUndo reports itself when there is nothing to undo.
    host_.FileUndo();
}

void TTextCommands::Sort()
{
    TTextTarget* target = nullptr;
    if (TSearchTarget* view = host_.TextView(); view && view->Writable() && view->SelLength() > 0)
        target = view;
    else if (TTextTarget* editor = host_.Editor(); editor && editor->Writable() && !editor->SelText().empty())
        target = editor;
    if (!target) {
        host_.Beep();
        return;
    }
    const std::wstring sorted = SortBlock(
        target->SelText(), [this](const std::wstring& a, const std::wstring& b) { return host_.CompareLines(a, b); });
    target->ReplaceSelection(sorted);
}

void TTextCommands::Search()
{
    if (!host_.TextView() && !host_.HexView() && !host_.Editor()) {
        host_.Beep();
        return;
    }
    if (!host_.TextView() && !host_.HexView()) {
        host_.SearchEditor(false, false);
        return;
    }
    std::wstring text = last_ ? last_->Text : std::wstring();
    if (TSearchTarget* view = host_.TextView(); view && view->SelLength() > 0)
        text = view->SelText();
    host_.OpenFindDialog(false, text);
}

void TTextCommands::OpenReplace()
{
    TSearchTarget* view = host_.TextView();
    if (TTextTarget* editor = host_.Editor(); !view && editor && editor->Writable()) {
        host_.SearchEditor(true, false);
        return;
    }
    if (!view || !view->Writable()) {
        host_.Beep();
        return;
    }
    host_.OpenFindDialog(true, view->SelLength() > 0 ? view->SelText() : last_ ? last_->Text : std::wstring());
}

void TTextCommands::SearchNext()
{
    if (host_.Editor() && !host_.TextView() && !host_.HexView()) {
        host_.SearchEditor(false, true);
        return;
    }
    if (!last_) {
        Search();
        return;
    }
    Find(*last_);
}

void TTextCommands::NotFound(const std::wstring& Text)
{
    host_.ShowMessage(SearchNotFoundText(Text), TTextMessage::Information);
}

bool TTextCommands::Find(const TFindRequest& Request)
{
    last_ = Request;
    if (TSearchTarget* view = host_.TextView())
        return FindInText(*view, Request);
    if (THexTarget* hex = host_.HexView())
        return FindInHex(*hex, Request);
    // The editor is searched by its own forms (SearchEditor), not by this dialog.
    host_.Beep();
    return false;
}

bool TTextCommands::FindInText(TSearchTarget& Target, const TFindRequest& Request)
{
    if (Request.Text.empty()) {
        host_.ShowMessage(L"Zu suchender Text ist leer.", TTextMessage::Information);
        return false;
    }
    // Down from the caret, or past the start of a selection (the last
    // match) so that searching again steps on; up from before it.
    const int start = Target.SelStart();
    const int from = Request.Options.Down && Target.SelLength() > 0 ? start + 1 : start;
    const bool busy = Target.TextLength() > kBusyTextLength;
    if (busy)
        host_.BeginBusy();
    const int at = Target.Find(Request.Text, from, Request.Options);
    if (busy)
        host_.EndBusy();
    if (at < 0) {
        Target.Select(0, 0);
        NotFound(Request.Text);
        return false;
    }
    Target.Select(at, static_cast<int>(Request.Text.size()));
    return true;
}

bool TTextCommands::FindInHex(THexTarget& Hex, const TFindRequest& Request)
{
    const THexSearchPattern pattern = MakeHexSearchPattern(Request.Text, Request.Options.WholeWord, Hex.SwapNibbles(),
                                                           [&Hex](wchar_t c) { return Hex.Encode(c); });
    if (pattern.Error != THexPatternError::None) {
        const bool notFound = pattern.Error == THexPatternError::Unmappable;
        host_.ShowMessage(HexPatternMessage(pattern, Request.Text),
                          notFound ? TTextMessage::Information : TTextMessage::Error);
        return false;
    }
    THexSearchPlace place = Hex.Place();
    place.LastMatch = hexMatch_;
    place.LastLength = hexMatchLength_;
    const auto length = static_cast<int64_t>(pattern.Bytes.size());
    const int64_t from = HexSearchStart(place, length);
    const int64_t at = from + length <= Hex.Size() ? Hex.Find(pattern.Bytes, !Request.Options.MatchCase, from) : -1;
    if (at < 0) {
        NotFound(Request.Text);
        return false;
    }
    Hex.Select(at, length);
    hexMatch_ = at;
    hexMatchLength_ = length;
    return true;
}

bool TTextCommands::Replace(const TFindRequest& Request, const std::wstring& Replacement, bool All)
{
    last_ = Request;
    TSearchTarget* view = host_.TextView();
    if (!view || !view->Writable()) {
        host_.Beep();
        return false;
    }
    if (Request.Text.empty()) {
        host_.ShowMessage(L"Zu suchender Text ist leer.", TTextMessage::Information);
        return false;
    }
    if (All) {
        TFindOptions forward = Request.Options;
        forward.Down = true;
        const auto length = static_cast<int>(Request.Text.size());
        host_.BeginBusy();
        const int count = ReplaceEvery([&](int from) { return view->Find(Request.Text, from, forward); },
                                       [&](int at) {
                                           view->Select(at, length);
                                           view->ReplaceSelection(Replacement);
                                       },
                                       static_cast<int>(Replacement.size()));
        host_.EndBusy();
        if (count == 0)
            NotFound(Request.Text);
        return count > 0;
    }
    // The match the last search selected is replaced, then the next is found.
    if (view->SelLength() > 0 && SameMatch(view->SelText(), Request.Text, Request.Options.MatchCase)) {
        view->ReplaceSelection(Replacement);
        const int after = view->SelStart() + view->SelLength();
        view->Select(after, 0);
    }
    return FindInText(*view, Request);
}

}  // namespace qrv
