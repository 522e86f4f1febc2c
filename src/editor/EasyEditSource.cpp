#include "editor/EasyEditSource.h"

#include "editor/EasyEditSourceScopes.h"
#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <optional>

namespace qrv {

namespace {

std::function<void()>& BeepHook()
{
    static std::function<void()> beep;
    return beep;
}

}  // namespace

void SetEasyBeep(std::function<void()> beep)
{
    BeepHook() = std::move(beep);
}

TCustomEasyEditSource::TCustomEasyEditSource(TComponent* owner) : TComponent(owner)
{
    strings_.OnChange = [this](TEasyStrings&) { StringsChanged(); };
    strings_.OnGetString = [this](const TEasyStrings&, std::u16string& text, int mode) { GetStringHook(text, mode); };
    delimiters_ = DefaultDelimiters();
    ResolveStyleNames();
}

TCustomEasyEditSource::~TCustomEasyEditSource()
{
    if (parser_)
        parser_->RemoveSource(&ParserNotified, this);
    parser_ = nullptr;
    strings_.OnChange = nullptr;
    strings_.OnGetString = nullptr;
    states_ = csSourceFreed;
    Broadcast(nullptr);
}

// ---- properties ----------------------------------------------------------

void TCustomEasyEditSource::SetReadOnly(bool readOnly)
{
    if (readOnly == readOnly_)
        return;
    TUpdate update(*this, ckState);
    states_ |= csReadOnlyChanged;
    readOnly_ = readOnly;
}

void TCustomEasyEditSource::SetOptions(TEasySourceOptions options)
{
    if (options == options_)
        return;
    const TEasySourceOptions old = options_;
    // Kept tabs and smart tabs exclude each other: the newer one wins.
    if ((options & srUseTab) && !(old & srUseTab))
        options &= ~srSmartTab;
    else if ((options & srSmartTab) && !(old & srSmartTab) && (old & srUseTab))
        options &= ~srUseTab;
    options_ = options;
    const TEasySourceOptions changed = old ^ options;
    if (changed & srUndoOnlyChanges) {
        // The records have another shape with the other setting.
        undo_.Clear();
        redo_.Clear();
    }
    undo_.UndoOnlyChanges = redo_.UndoOnlyChanges = (options & srUndoOnlyChanges) != 0;
    strings_.SetAllowHiddenLines((options & srAllowHiddenLines) != 0);
    if ((changed & srBeyondEof) && !(options & srBeyondEof) && CaretBeyondLastLine()) {
        const int last = std::max(0, strings_.Count() - 1);
        SetCaretPos(DisplayLength(last), last);
    }
    if (changed & (srLiveSpell | srAllowHiddenLines))
        Reparse();
}

void TCustomEasyEditSource::SetTabStops(const std::wstring& text)
{
    tabs_.SetText(text);
}

void TCustomEasyEditSource::SetParser(TCustomEasyParser* parser)
{
    if (parser == parser_)
        return;
    {
        TUpdate update(*this, ckState);
        if (parser_)
            parser_->RemoveSource(&ParserNotified, this);
        parser_ = parser;
        if (parser_)
            parser_->AddSource(&ParserNotified, this, &ParserRemoved);
        AddRange(0, ToTheEnd, false, ToTheEnd, 0);
        states_ |= csParserChanged;
        firstUnparsed_ = 0;
        for (int i = 0; i < strings_.Count(); ++i)
            strings_.Items(i)->Flags &= static_cast<uint8_t>(~lfParsed);
        RebuildDelimiters();
    }
    ResolveStyleNames();
    ParserChanged();
}

void TCustomEasyEditSource::ParserChanged() {}

int TCustomEasyEditSource::ParserNotified(void* listener, void* /*sender*/, void* /*record*/)
{
    static_cast<TCustomEasyEditSource*>(listener)->Reparse();
    return 0;
}

void TCustomEasyEditSource::ParserRemoved(void* listener, void* /*sender*/)
{
    static_cast<TCustomEasyEditSource*>(listener)->SetParser(nullptr);
}

void TCustomEasyEditSource::Reparse()
{
    {
        TUpdate update(*this, ckState);
        firstUnparsed_ = 0;
        states_ |= csParserChanged;
        for (int i = 0; i < strings_.Count(); ++i)
            strings_.Items(i)->Flags &= static_cast<uint8_t>(~lfParsed);
        RebuildDelimiters();
    }
    ResolveStyleNames();
}

void TCustomEasyEditSource::RebuildDelimiters()
{
    delimiters_ = DefaultDelimiters();
    if (!parser_)
        return;
    for (char16_t c : parser_->Delimiters)
        if (c < 256)
            delimiters_.set(c);
}

void TCustomEasyEditSource::ResolveStyleNames()
{
    if (!parser_) {
        urlStyle_ = 8;
        stringStyle_ = commentStyle_ = -1;
        return;
    }
    const int url = parser_->TokenIndex(u"turl");
    urlStyle_ = url >= 0 ? url : 32759;
    stringStyle_ = parser_->TokenIndex(u"tstring");
    commentStyle_ = parser_->TokenIndex(u"tcomment");
}

bool TCustomEasyEditSource::DoWordSpell(const std::u16string& word)
{
    bool correct = true;
    if (OnWordSpell)
        OnWordSpell(this, word, correct);
    return correct;
}

void TCustomEasyEditSource::Beep()
{
    if (BeepHook())
        BeepHook()();
}

// ---- files ---------------------------------------------------------------

void TCustomEasyEditSource::LoadFromFile(const std::wstring& name)
{
    TEasyStrings aside;
    aside.LoadFromFile(name);
    strings_.TakeLinesFrom(aside);
    fileName_ = name;
}

void TCustomEasyEditSource::SaveToFile(const std::wstring& name)
{
    strings_.SaveToFile(name);
    fileName_ = name;
}

void TCustomEasyEditSource::LoadFromStream(TStream& stream)
{
    TEasyStrings aside;
    aside.LoadFromStream(stream);
    strings_.TakeLinesFrom(aside);
}

void TCustomEasyEditSource::SaveToStream(TStream& stream) const
{
    strings_.SaveToStream(stream);
}

void TCustomEasyEditSource::ReplaceAllText(std::wstring_view text)
{
    TOwnEdit own(*this);
    TUpdate update(*this, ckState);
    // The user's own text: tabs stay as typed.
    strings_.SetText(ToUtf16(text));
    undo_.Clear();
    redo_.Clear();
    AddRange(0, ToTheEnd, true, ToTheEnd, 0);
}

void TCustomEasyEditSource::Clear()
{
    TOwnEdit own(*this);
    TUpdate update(*this, ckState);
    strings_.Clear();
    undo_.Clear();
    redo_.Clear();
    caret_ = {};
    AddRange(0, ToTheEnd, true, ToTheEnd, 0);
}

// ---- update bracket and views --------------------------------------------

void TCustomEasyEditSource::BeginUpdate(uint8_t kind)
{
    if (updateDepth_ == 0) {
        states_ = 0;
        firstLine_ = lastLine_ = firstColumn_ = lastColumn_ = -1;
        caretAtBegin_ = caret_;
        changeKind_ = kind;
        countAtBegin_ = strings_.Count();
        groupStart_ = true;
    }
    ++updateDepth_;
}

void TCustomEasyEditSource::EndUpdate()
{
    if (updateDepth_ <= 0 || --updateDepth_ > 0)
        return;
    if (caret_ != caretAtBegin_)
        states_ |= csPositionChanged;
    if (states_ & (csEdit | csParagraphChanged)) {
        modified_ = true;
        // The caret's line carries the user's edit until the caret leaves it.
        const bool typed =
            changeKind_ == ckInsert || changeKind_ == ckDelete || changeKind_ == ckJoin || changeKind_ == ckBreak;
        editedLine_ = typed && !(states_ & csUndo) ? caret_.Y : -1;
        if (firstLine_ >= 0)
            firstUnparsed_ = std::min(firstUnparsed_, firstLine_);
    }
    if (strings_.Count() != countAtBegin_)
        states_ |= csCountChanged;
    if ((states_ & (csPositionChanged | csEdit)) && !(states_ & csUndo))
        redo_.Clear();
    if (states_)
        Broadcast(nullptr);
}

void TCustomEasyEditSource::AddRange(int firstColumn, int lastColumn, bool edit, int lastLine, int firstLine)
{
    auto lower = [](int& field, int value) { field = field < 0 ? value : std::min(field, value); };
    lower(firstColumn_, firstColumn);
    lower(firstLine_, firstLine);
    lastColumn_ = std::max(lastColumn_, lastColumn);
    lastLine_ = std::max(lastLine_, lastLine);
    if (edit)
        states_ |= csEdit;
}

void TCustomEasyEditSource::AddNotifier(const void* view, TNotifier notifier)
{
    RemoveNotifier(view);
    // While views are told the list must not move: newcomers wait.
    (broadcasting_ ? pendingViews_ : views_).push_back({view, std::move(notifier), true});
}

void TCustomEasyEditSource::RemoveNotifier(const void* view)
{
    std::erase_if(pendingViews_, [view](const TView& entry) { return entry.view == view; });
    if (broadcasting_ == 0) {
        std::erase_if(views_, [view](const TView& entry) { return entry.view == view; });
        return;
    }
    // Told right now, perhaps: marked, and dropped when the telling ends.
    for (TView& entry : views_)
        if (entry.view == view)
            entry.alive = false;
}

void TCustomEasyEditSource::Broadcast(TEasySourceNotification* record)
{
    ++broadcasting_;
    {
        const ScopeExit done([this] {
            if (--broadcasting_ > 0)
                return;
            std::erase_if(views_, [](const TView& entry) { return !entry.alive; });
            for (TView& entry : pendingViews_)
                views_.push_back(std::move(entry));
            pendingViews_.clear();
        });
        for (size_t i = 0; i < views_.size(); ++i)
            if (views_[i].alive)
                views_[i].notifier(record);
    }
}

void TCustomEasyEditSource::BeginLinesUpdate()
{
    if (linesUpdate_++ == 0)
        strings_.ResetChangedRange();
}

void TCustomEasyEditSource::EndLinesUpdate()
{
    if (linesUpdate_ <= 0 || --linesUpdate_ > 0)
        return;
    TEasySourceNotification record;
    record.Kind = snLinesChanged;
    record.FirstLine = strings_.FirstChanged();
    record.LastLine = strings_.LastChanged();
    strings_.ResetChangedRange();
    Broadcast(&record);
}

// ---- the line list's hooks -----------------------------------------------

void TCustomEasyEditSource::StringsChanged()
{
    const int first = strings_.FirstChanged();
    const int last = strings_.LastChanged();
    if (linesUpdate_ == 0) {
        TEasySourceNotification record;
        record.Kind = snLinesChanged;
        record.FirstLine = first;
        record.LastLine = last;
        Broadcast(&record);
    }
    if (strings_.Collapsing()) {
        // Lines shown or hidden: the text is the same, so no edit.
        TUpdate update(*this, ckState);
        states_ |= csVisibleChanged;
        AddRange(0, ToTheEnd, false, last, std::max(0, first));
        return;
    }
    if (ownEdit_ == 0) {
        ResetDocument(std::max(0, first));
        return;
    }
    // Our own change: the list cleared the parsed flags of the lines it
    // stored; a line below whose start state no longer fits is found by the
    // parse step. Nothing walks to the end of the list here.
    if (linesUpdate_ == 0)
        strings_.ResetChangedRange();
}

void TCustomEasyEditSource::ResetDocument(int firstLine)
{
    const int last = strings_.LastChanged();
    if (!(options_ & srUseTab))
        ExpandTabsInLines(firstLine, last);
    {
        TUpdate update(*this, ckState);
        AddRange(0, ToTheEnd, true, last, firstLine);
        states_ |= csPositionChanged | csEdit;
        caret_ = {0, firstLine};
        undo_.Clear();
        redo_.Clear();
        // Positions in the old text mean nothing in the new one.
        if (bookmarks_.Count() > 0) {
            bookmarks_.ClearMarks();
            states_ |= csBookMarkChanged;
        }
        if (lineMarks_.Count() > 0) {
            lineMarks_.ClearMarks();
            states_ |= csLineStyleChanged;
        }
        strings_.ResetChangedRange();
        editedLine_ = -1;
        const int end = std::min(last, strings_.Count() - 1);
        for (int i = firstLine; i <= end; ++i)
            strings_.Items(i)->Flags &= static_cast<uint8_t>(~lfParsed);
    }
    modified_ = false;
}

void TCustomEasyEditSource::ExpandTabsInLines(int first, int last)
{
    last = std::min(last, strings_.Count() - 1);
    TOwnEdit own(*this);
    // The bracket opens at the first line that changes.
    std::optional<TUpdateLock<TEasyStrings>> update;
    for (int i = std::max(0, first); i <= last; ++i) {
        const std::u16string_view stored = Stored(i);
        if (stored.find(u'\t') == std::u16string_view::npos)
            continue;
        if (!update)
            update.emplace(strings_, &TEasyStrings::BeginUpdate, &TEasyStrings::EndUpdate);
        strings_.Put(i, tabs_.ExpandTabs(stored));
    }
}

void TCustomEasyEditSource::GetStringHook(std::u16string& text, int mode)
{
    if (mode == 0 && (options_ & srUseTab) && text.find(u'\t') != std::u16string::npos)
        text = tabs_.ExpandTabs(text);
}

// ---- columns -------------------------------------------------------------

int TCustomEasyEditSource::ColumnOf(int line, int index) const
{
    if (!(options_ & srUseTab) || index <= 0)
        return index;
    return tabs_.IndexToColumn(Stored(line), index - 1) + 1;
}

int TCustomEasyEditSource::DisplayLength(int line) const
{
    return ColumnOf(line, static_cast<int>(Stored(line).size()));
}

int TCustomEasyEditSource::CharIndex(int line, int column, int& inside, int& width) const
{
    if (!(options_ & srUseTab)) {
        inside = width = 0;
        return column;
    }
    return tabs_.ColumnToIndex(Stored(line), column, inside, width);
}

int TCustomEasyEditSource::CharIndex(int line, int column) const
{
    int inside = 0, width = 0;
    return CharIndex(line, column, inside, width);
}

// ---- caret ---------------------------------------------------------------

void TCustomEasyEditSource::MoveCaret(int dx, int dy)
{
    dx = std::max(dx, -caret_.X);
    dy = std::max(dy, -caret_.Y);
    TEasyPoint target{caret_.X + dx, caret_.Y + dy};
    // An undo step puts the caret back exactly where it was.
    if (undoStep_ == 0) {
        if (!(options_ & srBeyondEof) || ForceInsideLines)
            target.Y = std::min(target.Y, std::max(0, strings_.Count() - 1));
        const int length = DisplayLength(target.Y);
        if (target.X > length) {
            if (options_ & srBeyondEol) {
                TEasySourceNotification record;
                record.Kind = snCaretTarget;
                record.X = target.X;
                record.Y = target.Y;
                Broadcast(&record);
                target = {std::max(0, record.X), std::max(0, record.Y)};
            } else {
                target.X = length;
            }
        }
        if ((options_ & srUseTab) && (options_ & srAlwaysOnTabs)) {
            int inside = 0, width = 0;
            CharIndex(target.Y, target.X, inside, width);
            if (inside > 0)
                target.X += inside * 2 > width ? width - inside : -inside;
        }
    }
    dx = target.X - caret_.X;
    dy = target.Y - caret_.Y;
    if (dx == 0 && dy == 0)
        return;
    TUpdate update(*this, ckCaretMove);
    // Leaving the line the user just edited drops the blanks typed at its
    // end; a line only passed over, and a read-only text, stay as they are.
    if (dy != 0 && undoStep_ == 0 && caret_.Y < strings_.Count() && caret_.Y == editedLine_ && !ReadOnly())
        TrimLine(caret_.Y);
    if (dy != 0)
        editedLine_ = -1;
    caret_ = target;
    if ((options_ & srAllowUndo) && ((changeKind_ == ckInsert && updateDepth_ > 1) || !(options_ & srUndoOnlyChanges)))
        AddUndo(ukCaretMove, TEasyCaretDelta{dx, dy});
}

void TCustomEasyEditSource::SetCaretPos(int x, int y)
{
    MoveCaret(x - caret_.X, y - caret_.Y);
    if (!strings_.IsLineVisible(caret_.Y))
        strings_.ExpandAbove(caret_.Y);
}

void TCustomEasyEditSource::CaretLeft()
{
    const int x = caret_.X, y = caret_.Y;
    if ((options_ & srUseTab) && x > 0 && (!(options_ & srCursorThroughTabs) || (options_ & srAlwaysOnTabs))) {
        // Inside or right behind a tab: to the tab's start.
        int inside = 0, width = 0;
        const int index = CharIndex(y, x - 1, inside, width);
        const std::u16string_view line = Stored(y);
        if (index < static_cast<int>(line.size()) && line[index] == u'\t') {
            MoveCaret(-(inside + 1), 0);
            return;
        }
    }
    if (x > 0)
        MoveCaret(-1, 0);
    else if ((options_ & srMoveUpAtLineBegin) && y > 0)
        SetCaretPos(DisplayLength(y - 1), y - 1);
}

void TCustomEasyEditSource::CaretRight(bool force)
{
    const int x = caret_.X, y = caret_.Y;
    if ((options_ & srUseTab) && (force || !(options_ & srCursorThroughTabs))) {
        int inside = 0, width = 0;
        const int index = CharIndex(y, x, inside, width);
        const std::u16string_view line = Stored(y);
        if (index < static_cast<int>(line.size()) && line[index] == u'\t') {
            // To the stop the tab ends at.
            MoveCaret(tabs_.TabEnd(x - inside) - x, 0);
            return;
        }
    }
    if ((options_ & srMoveDownAtLineEnd) && x >= DisplayLength(y))
        SetCaretPos(0, y + 1);
    else
        MoveCaret(1, 0);
}

void CheckEasyEditSourceClass(const TCustomEasyEditSource* source)
{
    if (source && !dynamic_cast<const TEasyEditSource*>(source))
        throw EInvalidOperation(L"The instance of TEasyEditSource expected");
}

}  // namespace qrv
