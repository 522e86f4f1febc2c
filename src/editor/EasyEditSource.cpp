#include "editor/EasyEditSource.h"

#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/Streams.h"

#include <algorithm>

namespace qrv {

namespace {

std::function<void()>& BeepHook()
{
    static std::function<void()> beep;
    return beep;
}

// Blanks as trimming and unindenting see them: code 32 or less, except 1.
bool IsBlank(char16_t c)
{
    return c <= 32 && c != 1;
}

constexpr uint16_t NoStyle = 0xFFFF;

}  // namespace

void SetEasyBeep(std::function<void()> beep)
{
    BeepHook() = std::move(beep);
}

// Marks a text operation of this source, so the change handler does not take
// the change for one from outside.
struct TCustomEasyEditSource::TOwnEdit {
    explicit TOwnEdit(TCustomEasyEditSource& source) : source_(source) { ++source_.ownEdit_; }
    ~TOwnEdit() { --source_.ownEdit_; }
    TOwnEdit(const TOwnEdit&) = delete;
    TOwnEdit& operator=(const TOwnEdit&) = delete;
    TCustomEasyEditSource& source_;
};

// BeginUpdate/EndUpdate on every way out.
struct TCustomEasyEditSource::TUpdate {
    TUpdate(TCustomEasyEditSource& source, uint8_t kind) : source_(source) { source_.BeginUpdate(kind); }
    ~TUpdate() { source_.EndUpdate(); }
    TUpdate(const TUpdate&) = delete;
    TUpdate& operator=(const TUpdate&) = delete;
    TCustomEasyEditSource& source_;
};

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

void TCustomEasyEditSource::ParserChanged()
{
}

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
    bool updating = false;
    for (int i = std::max(0, first); i <= last; ++i) {
        const std::u16string_view stored = Stored(i);
        if (stored.find(u'\t') == std::u16string_view::npos)
            continue;
        if (!updating) {
            strings_.BeginUpdate();
            updating = true;
        }
        strings_.Put(i, tabs_.ExpandTabs(stored));
    }
    if (updating)
        strings_.EndUpdate();
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
    if (dy != 0 && undoStep_ == 0 && caret_.Y < strings_.Count())
        TrimLine(caret_.Y);
    caret_ = target;
    if ((options_ & srAllowUndo) &&
        ((changeKind_ == ckInsert && updateDepth_ > 1) || !(options_ & srUndoOnlyChanges)))
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

// ---- text operations -----------------------------------------------------

template <typename Step>
void TCustomEasyEditSource::AtPosition(TEasyPoint point, Step step)
{
    const TEasyPoint saved = caret_;
    const TEasyPoint savedRecordPoint = recordPoint_;
    caret_ = point;
    recordPoint_ = point;
    ++positioned_;
    const ScopeExit back([&] {
        --positioned_;
        recordPoint_ = savedRecordPoint;
        caret_ = saved;
    });
    step();
}

void TCustomEasyEditSource::ParseChangedLine(int line, int column)
{
    TEasyStringItem* item = strings_.Items(line);
    if (!item)
        return;
    const uint16_t oldEnd = item->EndState;
    const int entering = line == 0 ? (parser_ ? parser_->InitialState : 0) : strings_.EndState(line - 1);
    if (parser_ || (options_ & (srLiveSpell | srHighlightUrls)))
        ParseLine(line, entering);
    if (item->EndState != oldEnd)
        AddRange(column, ToTheEnd, true, ToTheEnd, line);
    else
        AddRange(column, ToTheEnd, true, line, line);
}

void TCustomEasyEditSource::InsertText(std::u16string_view text)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    TOwnEdit own(*this);
    TUpdate update(*this, ckInsert);
    const int y = caret_.Y;
    AppendLinesTo(y);
    int inside = 0, width = 0;
    int index = CharIndex(y, caret_.X, inside, width);
    // Inside a tab's expansion the text goes before the tab, after as many
    // spaces as the caret lies inside it.
    std::u16string inserted(static_cast<size_t>(inside), u' ');
    inserted += text;
    const int length = static_cast<int>(Stored(y).size());
    if (index > length) {
        // Beyond the line end: spaces up to the caret, recorded at the end.
        Pad(y, length, index - length);
    }
    const TEasyPoint point{ColumnOf(y, index), y};
    if (inside > 0 && (options_ & srAllowUndo)) {
        BeginCompound();
        AddUndo(ukCaretMove, TEasyCaretDelta{-inside, 0});
        InsertAt(y, index, inserted, point);
        AddUndo(ukCaretMove, TEasyCaretDelta{inside, 0});
        EndCompound();
    } else {
        InsertAt(y, index, inserted, point);
    }
}

void TCustomEasyEditSource::Pad(int line, int length, int count)
{
    AtPosition({ColumnOf(line, length), line},
               [&] { InsertAt(line, length, std::u16string(static_cast<size_t>(count), u' '), caret_); });
}

void TCustomEasyEditSource::InsertAt(int line, int index, std::u16string_view text, TEasyPoint point)
{
    if (text.empty())
        return;
    const int count = static_cast<int>(text.size());
    std::u16string stored(Stored(line));
    BeforeChange(point.X, line, 0, count, ukInsert);
    stored.insert(static_cast<size_t>(index), text);
    strings_.Put(line, stored);
    AfterChange(point.X, line, ukInsert);
    ParseChangedLine(line, point.X);
    AddChangeUndo(ukInsert, count, point);
    const ScopeExit back([this, saved = caret_] { caret_ = saved; });
    caret_ = point;
    ShiftPositions(count, 0);
}

void TCustomEasyEditSource::AppendLinesTo(int line)
{
    if (line < strings_.Count())
        return;
    const int first = strings_.Count();
    if (strings_.Count() == 0)
        strings_.Add(u"");
    while (strings_.Count() <= line) {
        const int last = strings_.Count() - 1;
        // Recorded as a line break at the end of the last line.
        AtPosition({DisplayLength(last), last}, [this] { BreakAt(false); });
    }
    AddRange(0, ToTheEnd, true, ToTheEnd, first);
}

void TCustomEasyEditSource::DeleteChars(int count)
{
    if (ReadOnly() || count <= 0 || caret_.Y >= strings_.Count())
        return;
    TOwnEdit own(*this);
    TUpdate update(*this, ckDelete);
    int inside = 0, width = 0;
    CharIndex(caret_.Y, caret_.X, inside, width);
    if (inside > 0) {
        // Inside a tab's expansion: the columns before the caret become
        // spaces, so the deletion starts at the tab.
        BeginCompound();
        MoveCaret(-inside, 0);
        InsertText(std::u16string(static_cast<size_t>(inside), u' '));
        MoveCaret(inside, 0);
        EndCompound();
    }
    const int y = caret_.Y;
    const int index = CharIndex(y, caret_.X);
    int end = index + count;
    if (undoStep_ == 0) {
        // Outside an undo step the count is in display columns.
        int endInside = 0, endWidth = 0;
        end = CharIndex(y, caret_.X + count, endInside, endWidth) + (endInside > 0 ? 1 : 0);
    }
    end = std::min(end, static_cast<int>(Stored(y).size()));
    if (end > index)
        CutChars(y, index, end - index);
}

void TCustomEasyEditSource::CutChars(int line, int index, int count)
{
    TOwnEdit own(*this);
    TUpdate update(*this, ckDelete);
    std::u16string stored(Stored(line));
    const TEasyPoint point{ColumnOf(line, index), line};
    TEasyChangePayload payload;
    payload.Text = stored.substr(static_cast<size_t>(index), static_cast<size_t>(count));
    const TEasyStringItem* item = strings_.Items(line);
    if (item->Styles.size() == stored.size())
        payload.Styles.assign(item->Styles.begin() + index, item->Styles.begin() + index + count);
    payload.CaretX = point.X;
    payload.CaretY = point.Y;
    AddUndo(ukDelete, std::move(payload));
    BeforeChange(point.X, line, 0, count, ukDelete);
    stored.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    strings_.Put(line, stored);
    AfterChange(point.X, line, ukDelete);
    ParseChangedLine(line, point.X);
    const ScopeExit back([this, saved = caret_] { caret_ = saved; });
    caret_ = point;
    ShiftPositions(-count, 0);
}

void TCustomEasyEditSource::JoinLines()
{
    if (ReadOnly())
        return;
    const int y = caret_.Y;
    if (strings_.Count() <= 1 || y >= strings_.Count() - 1)
        return;
    const int index = CharIndex(y, caret_.X);
    int length = static_cast<int>(Stored(y).size());
    // Only at or beyond the line end: a caret inside the line joins nothing.
    if (index < length)
        return;
    TOwnEdit own(*this);
    TUpdate update(*this, ckJoin);
    // Beyond the end the gap is filled with spaces (recorded); an undo step
    // joins at the end, where the line was split.
    if (index > length && undoStep_ == 0) {
        Pad(y, length, index - length);
        length = index;
    }
    const std::u16string next(Stored(y + 1));
    const int reserved = strings_.Items(y + 1)->Reserved1;
    BeforeChange(caret_.X, y, 0, 1, ukJoin);
    std::u16string joined(Stored(y));
    joined += next;
    strings_.Put(y, joined);
    strings_.Delete(y + 1);
    AfterChange(caret_.X, y, ukJoin);
    AddChangeUndo(ukJoin, reserved, caret_);
    AddRange(caret_.X, ToTheEnd, true, ToTheEnd, y);
    ParseChangedLine(y, caret_.X);
    const ScopeExit back([this, saved = caret_] { caret_ = saved; });
    caret_.X = ColumnOf(y, length);
    ShiftPositions(length, -1);
}

void TCustomEasyEditSource::BreakLine()
{
    if (ReadOnly())
        return;
    if (strings_.Count() == 0) {
        TOwnEdit own(*this);
        strings_.Add(u"");
    }
    if (caret_.Y >= strings_.Count())
        return;
    BreakAt(undoStep_ == 0);
}

void TCustomEasyEditSource::BreakAt(bool trim)
{
    TOwnEdit own(*this);
    TUpdate update(*this, ckBreak);
    const int y = caret_.Y;
    const std::u16string stored(Stored(y));
    const int index = std::min(CharIndex(y, caret_.X), static_cast<int>(stored.size()));
    BeforeChange(caret_.X, y, 0, 1, ukBreak);
    strings_.Insert(y + 1, std::u16string_view(stored).substr(static_cast<size_t>(index)));
    const TEasyStringItem* item = strings_.Items(y);
    if (item->Flags & (lfCollapsible | lfExpanded | lfCollapsed)) {
        strings_.SetLineVisible(y + 1, false);
        strings_.Items(y + 1)->Level = strings_.Items(y)->Level;
    }
    strings_.Put(y, std::u16string_view(stored).substr(0, static_cast<size_t>(index)));
    AfterChange(caret_.X, y, ukBreak);
    AddChangeUndo(ukBreak, 0, caret_);
    AddRange(caret_.X, ToTheEnd, true, ToTheEnd, y);
    ParseChangedLine(y, caret_.X);
    {
        const ScopeExit back([this, saved = caret_] { caret_ = saved; });
        caret_.X = ColumnOf(y, index);
        ShiftPositions(-index, 1);
    }
    if (trim)
        TrimLine(y);
}

void TCustomEasyEditSource::TrimLine(int line)
{
    if (options_ & srLeaveTrailSpaces)
        return;
    const std::u16string_view stored = Stored(line);
    size_t kept = stored.size();
    while (kept > 0 && IsBlank(stored[kept - 1]))
        --kept;
    if (kept == stored.size())
        return;
    const int index = static_cast<int>(kept);
    const int count = static_cast<int>(stored.size() - kept);
    // Recorded, so undo gives the blanks back.
    AtPosition({ColumnOf(line, index), line}, [&] { CutChars(line, index, count); });
}

void TCustomEasyEditSource::InsertLine(int index, std::u16string_view text)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    TUpdate update(*this, ckInsert);
    index = std::clamp(index, 0, strings_.Count());
    if (strings_.Count() == 0) {
        SetCaretPos(0, 0);
        InsertText(text);
        return;
    }
    if (index == 0)
        SetCaretPos(0, 0);
    else
        SetCaretPos(DisplayLength(index - 1), index - 1);
    BreakLine();
    SetCaretPos(0, index);
    InsertText(text);
}

void TCustomEasyEditSource::AutoIndent(bool insert, int column)
{
    if (!(options_ & srAutoIndent))
        return;
    TUpdate update(*this, ckInsert);
    if (insert && column > 0) {
        std::u16string indent;
        int filled = 0;
        if ((options_ & srUseTab) && (options_ & srOptimalFill)) {
            for (int next = tabs_.TabEnd(0); next <= column; next = tabs_.TabEnd(filled)) {
                indent += u'\t';
                filled = next;
            }
        }
        indent.append(static_cast<size_t>(column - filled), u' ');
        InsertText(indent);
    }
    SetCaretX(column);
}

void TCustomEasyEditSource::BackUnindent()
{
    if (ReadOnly())
        return;
    TUpdate update(*this, ckDelete);
    const int x = caret_.Y < strings_.Count() ? caret_.X : -1;
    const std::u16string line = strings_.Get(caret_.Y);
    const int indent = FirstNonBlank(line) - 1;
    if (!(options_ & srBackUnindents) || x <= 0 || x != indent) {
        const TEasyPoint before = caret_;
        CaretLeft();
        // Only a step back within the line takes a character with it.
        if (caret_.Y == before.Y && caret_.X < before.X)
            DeleteChars(1);
        return;
    }
    // The nearest line above with text that is indented less than the caret.
    int target = 0;
    for (int y = caret_.Y - 1; y >= 0; --y) {
        const std::u16string above = strings_.Get(y);
        const int aboveIndent = FirstNonBlank(above) - 1;
        if (aboveIndent >= static_cast<int>(above.size()) || aboveIndent >= x)
            continue;
        int p = std::min(x, static_cast<int>(above.size()));
        while (p > 0 && IsBlank(above[p - 1]))
            --p;
        while (p > 0 && !IsBlank(above[p - 1]))
            --p;
        target = p;
        break;
    }
    MoveCaret(target - x, 0);
    DeleteChars(x - target);
    if (options_ & srUseTab) {
        const int start = FirstNonBlank(strings_.Get(caret_.Y)) - 1;
        if (start < target) {
            SetCaretX(start);
            InsertText(std::u16string(static_cast<size_t>(target - start), u' '));
        }
    }
    SetCaretX(target);
}

// ---- words and brackets --------------------------------------------------

bool TCustomEasyEditSource::IsDelimiter(char16_t c) const
{
    return InCharSet(c, delimiters_);
}

void TCustomEasyEditSource::WordBounds(TEasyPoint point, int mode, int& start, int& end) const
{
    const std::u16string line = strings_.Get(point.Y);
    const int length = static_cast<int>(line.size());
    start = end = 0;
    if (length == 0)
        return;
    auto wordChar = [&](int position) { return line[position - 1] != 1 && !IsDelimiter(line[position - 1]); };
    // 1-based positions from here on.
    int p = std::min(point.X + 1, length);
    while (p > 0 && line[p - 1] != 1 && IsDelimiter(line[p - 1]))
        --p;
    while (p > 0 && wordChar(p))
        --p;
    const int first = p + 1;
    int q = first;
    while (q <= length && IsDelimiter(line[q - 1]))
        ++q;
    if (q > length) {
        start = first;
        end = 0;
        return;
    }
    start = q;
    int e = q;
    while (e < length && wordChar(e + 1))
        ++e;
    if (mode == wbWordAndSpace && e < length && line[e] == u' ')
        ++e;
    else if (mode == wbWordAndDelimiters)
        while (e < length && IsDelimiter(line[e]))
            ++e;
    end = e;
}

std::u16string TCustomEasyEditSource::WordAtPoint(TEasyPoint point, bool onlyOnWord) const
{
    const std::u16string line = strings_.Get(point.Y);
    if (onlyOnWord &&
        (point.X < 0 || point.X >= static_cast<int>(line.size()) || IsDelimiter(line[static_cast<size_t>(point.X)])))
        return {};
    int start = 0, end = 0;
    WordBounds(point, wbWord, start, end);
    if (end == 0 || start > end)
        return {};
    return line.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start + 1));
}

namespace {

char16_t ClosingOf(char16_t c)
{
    switch (c) {
    case u'(': return u')';
    case u'<': return u'>';
    case u'[': return u']';
    case u'{': return u'}';
    default: return 0;
    }
}

char16_t OpeningOf(char16_t c)
{
    switch (c) {
    case u')': return u'(';
    case u'>': return u'<';
    case u']': return u'[';
    case u'}': return u'{';
    default: return 0;
    }
}

}  // namespace

bool TCustomEasyEditSource::MatchBracketForward(TEasyPoint point, TEasyPoint& match) const
{
    std::u16string line = strings_.Get(point.Y);
    if (point.X < 0 || point.X >= static_cast<int>(line.size()))
        return false;
    const char16_t open = line[static_cast<size_t>(point.X)];
    const char16_t close = ClosingOf(open);
    if (!close)
        return false;
    int depth = 0;
    size_t from = static_cast<size_t>(point.X);
    for (int y = point.Y; y < strings_.Count();) {
        const size_t o = line.find(open, from);
        const size_t c = line.find(close, from);
        if (o == std::u16string::npos && c == std::u16string::npos) {
            if (++y < strings_.Count())
                line = strings_.Get(y);
            from = 0;
            continue;
        }
        const size_t at = std::min(o, c);
        depth += at == o ? 1 : -1;
        if (depth == 0) {
            match = {static_cast<int>(at), y};
            return true;
        }
        from = at + 1;
    }
    return false;
}

bool TCustomEasyEditSource::MatchBracketBackward(TEasyPoint point, TEasyPoint& match) const
{
    std::u16string line = strings_.Get(point.Y);
    if (point.X < 0 || point.X >= static_cast<int>(line.size()))
        return false;
    const char16_t close = line[static_cast<size_t>(point.X)];
    const char16_t open = OpeningOf(close);
    if (!open)
        return false;
    int depth = 0;
    // Searches at or before limit; npos limit means the whole line.
    size_t limit = static_cast<size_t>(point.X);
    for (int y = point.Y; y >= 0;) {
        const size_t o = line.empty() ? std::u16string::npos : line.rfind(open, limit);
        const size_t c = line.empty() ? std::u16string::npos : line.rfind(close, limit);
        if (o == std::u16string::npos && c == std::u16string::npos) {
            if (--y >= 0)
                line = strings_.Get(y);
            limit = std::u16string::npos;
            continue;
        }
        // The nearer one is the later one; npos is treated as absent.
        size_t at;
        if (o == std::u16string::npos)
            at = c;
        else if (c == std::u16string::npos)
            at = o;
        else
            at = std::max(o, c);
        depth += at == c ? 1 : -1;
        if (depth == 0) {
            match = {static_cast<int>(at), y};
            return true;
        }
        if (at == 0) {
            if (--y >= 0)
                line = strings_.Get(y);
            limit = std::u16string::npos;
        } else {
            limit = at - 1;
        }
    }
    return false;
}

// ---- parsing -------------------------------------------------------------

void TCustomEasyEditSource::EnsureParsed(int line)
{
    line = std::min(line, strings_.Count() - 1);
    if (line < firstUnparsed_)
        return;
    ParseLines(firstUnparsed_, line, false);
    firstUnparsed_ = line + 1;
}

void TCustomEasyEditSource::ParseLines(int from, int to, bool force)
{
    if (!parser_ && !(options_ & (srLiveSpell | srHighlightUrls)))
        return;
    from = std::max(0, from);
    to = std::min(to, strings_.Count() - 1);
    int entering = from == 0 ? (parser_ ? parser_->InitialState : 0) : strings_.EndState(from - 1);
    for (int line = from; line <= to; ++line) {
        const TEasyStringItem* item = strings_.Items(line);
        if (force || !(item->Flags & lfParsed) || item->StartState != static_cast<uint16_t>(entering))
            ParseLine(line, entering);
        entering = item->EndState;
    }
}

void TCustomEasyEditSource::ParseLine(int line, int enteringState)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string_view text = item->Text();
    const int length = static_cast<int>(text.size());
    item->StartState = static_cast<uint16_t>(enteringState);
    item->Styles.assign(text.size(), NoStyle);
    int state = enteringState;
    if (parser_) {
        parser_->ParseLine = line;
        int pos = 1;
        while (pos <= length) {
            const int start = pos;
            const int token = parser_->NextToken(state, text, pos);
            // A parser that does not advance still moves on by one character.
            pos = std::clamp(pos, start + 1, length + 1);
            const uint16_t style = token < 0 ? NoStyle : static_cast<uint16_t>(token);
            std::fill(item->Styles.begin() + (start - 1), item->Styles.begin() + (pos - 1), style);
        }
    }
    item->EndState = static_cast<uint16_t>(state);
    item->Flags |= lfParsed;
    if (options_ & srHighlightUrls)
        HighlightUrls(line);
    if ((options_ & srLiveSpell) && OnWordSpell && CanSpell())
        SpellLine(line);
}

void TCustomEasyEditSource::HighlightUrls(int line)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string_view text = item->Text();
    TEasyCharSet urlSet = WordChars() | UrlChars();
    size_t i = 0;
    while (i < text.size()) {
        if (!InCharSet(text[i], urlSet)) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && InCharSet(text[end], urlSet))
            ++end;
        if (IsUrl(text.substr(i, end - i)))
            std::fill(item->Styles.begin() + static_cast<ptrdiff_t>(i), item->Styles.begin() + static_cast<ptrdiff_t>(end),
                      static_cast<uint16_t>(urlStyle_));
        i = end;
    }
}

void TCustomEasyEditSource::SpellLine(int line)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string text(item->Text());
    const TEasyCharSet cut = delimiters_ | PunctuationChars();
    const int caretIndex = line == caret_.Y ? CharIndex(line, caret_.X) : -1;
    size_t i = 0;
    while (i < text.size()) {
        if (InCharSet(text[i], cut)) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !InCharSet(text[end], cut))
            ++end;
        const bool underCaret = caretIndex >= static_cast<int>(i) && caretIndex <= static_cast<int>(end);
        const uint16_t style = item->Styles[i];
        const bool checked = !parser_ || (stringStyle_ >= 0 && style == stringStyle_) ||
                             (commentStyle_ >= 0 && style == commentStyle_);
        if (!underCaret && checked) {
            const std::u16string word = TrimWord(std::u16string_view(text).substr(i, end - i));
            if (!word.empty() && !DoWordSpell(word))
                for (size_t k = i; k < end; ++k)
                    item->Styles[k] = item->Styles[k] == NoStyle ? 0xFFFE : static_cast<uint16_t>(item->Styles[k] + 32767);
        }
        i = end;
    }
}

// ---- undo ----------------------------------------------------------------

void TCustomEasyEditSource::AddUndo(uint8_t kind, decltype(TEasyUndoRecord::Data) data)
{
    if (!(options_ & srAllowUndo))
        return;
    TEasyUndoRecord record;
    record.Kind = kind;
    record.ChangeKind = changeKind_;
    record.Compound = compound_ > 0 ? 1 : 0;
    record.GroupStart = groupStart_ ? 1 : 0;
    record.Positioned = positioned_ > 0 ? 1 : 0;
    record.Data = std::move(data);
    receiving_->Add(std::move(record));
    groupStart_ = false;
}

void TCustomEasyEditSource::AddChangeUndo(uint8_t kind, int32_t value, TEasyPoint point)
{
    if (!(options_ & srAllowUndo))
        return;
    if (receiving_->UndoOnlyChanges || positioned_ > 0) {
        TEasyChangePayload payload;
        payload.CaretX = point.X;
        payload.CaretY = point.Y;
        payload.Value = value;
        AddUndo(kind, std::move(payload));
    } else {
        AddUndo(kind, value);
    }
}

void TCustomEasyEditSource::BeginCompound()
{
    ++compound_;
}

void TCustomEasyEditSource::EndCompound()
{
    if (compound_ > 0 && --compound_ == 0 && (options_ & srAllowUndo))
        AddUndo(ukCompoundEnd, std::monostate{});
}

void TCustomEasyEditSource::Undo()
{
    UndoStep(undo_, redo_);
}

void TCustomEasyEditSource::Redo()
{
    UndoStep(redo_, undo_);
}

void TCustomEasyEditSource::UndoStep(TEasyUndoList& from, TEasyUndoList& to)
{
    if (!(options_ & srAllowUndo) || from.Empty() || ReadOnly())
        return;
    // What applying records records goes to the other list.
    receiving_ = &to;
    ++undoStep_;
    const ScopeExit back([this] {
        receiving_ = &undo_;
        --undoStep_;
    });
    const uint8_t kind = from.Last().ChangeKind;
    TUpdate update(*this, kind);
    BeginLinesUpdate();
    const ScopeExit linesDone([this] { EndLinesUpdate(); });
    while (!from.Empty()) {
        groupStart_ = true;
        states_ |= csUndo;
        const TEasyUndoRecord& last = from.Last();
        if (last.ChangeKind != kind && !last.Compound)
            break;
        const TEasyUndoRecord record = from.Pop();
        ApplyUndoRecord(record);
        // Without grouping a step ends with the first record of an update,
        // also when that record belongs to a compound.
        if (record.GroupStart && !(options_ & srGroupUndo))
            break;
    }
}

void TCustomEasyEditSource::ApplyUndoRecord(const TEasyUndoRecord& record)
{
    const TEasyChangePayload* payload = record.Payload();
    const bool change = record.Kind >= ukInsert && record.Kind <= ukBreak;
    if (payload && change && record.Positioned) {
        AtPosition({payload->CaretX, payload->CaretY}, [&] { ApplyKind(record); });
        return;
    }
    if (payload && change && (undo_.UndoOnlyChanges || record.Kind == ukDelete))
        caret_ = {payload->CaretX, payload->CaretY};
    ApplyKind(record);
}

void TCustomEasyEditSource::ApplyKind(const TEasyUndoRecord& record)
{
    switch (record.Kind) {
    case ukCaretMove:
        if (const TEasyCaretDelta* delta = std::get_if<TEasyCaretDelta>(&record.Data))
            MoveCaret(-delta->Dx, -delta->Dy);
        break;
    case ukInsert:
        DeleteChars(record.Integer());
        break;
    case ukDelete:
        if (const TEasyChangePayload* payload = record.Payload())
            InsertText(payload->Text);
        break;
    case ukJoin:
        BreakLine();
        // The split-off line gets back what the joined line carried.
        if (TEasyStringItem* item = strings_.Items(caret_.Y + 1))
            item->Reserved1 = static_cast<int16_t>(record.Integer());
        break;
    case ukBreak:
        JoinLines();
        break;
    default:
        break;
    }
}

// ---- bookmarks and line marks --------------------------------------------

void TCustomEasyEditSource::ShiftPositions(int dx, int dy)
{
    TEasySourceNotification record;
    record.Kind = snShift;
    record.X = caret_.X;
    record.Y = caret_.Y;
    record.Dx = dx;
    record.Dy = dy;
    Broadcast(&record);
    if (bookmarks_.Shift(caret_.X, caret_.Y, dx, dy))
        states_ |= csBookMarkChanged;
    if (dy != 0 && lineMarks_.Shift(caret_.X, caret_.Y, 0, dy))
        states_ |= csLineStyleChanged;
}

void TCustomEasyEditSource::MarkLine(int line, TEasyEditSourceStates state)
{
    states_ |= state;
    if (line >= 0 && line < strings_.Count())
        AddRange(0, ToTheEnd, false, line, line);
}

void TCustomEasyEditSource::SetBookmark(int index, TEasyPoint point)
{
    TUpdate update(*this, ckState);
    ClearBookmark(index);
    bookmarks_.AddMark({point.X, point.Y, index});
    MarkLine(point.Y, csBookMarkChanged);
}

void TCustomEasyEditSource::ClearBookmark(int index)
{
    if (index < 0)
        return;
    TUpdate update(*this, ckState);
    const int position = bookmarks_.IndexOfMark(index);
    if (position < 0)
        return;
    const int line = bookmarks_.Mark(position).Y;
    bookmarks_.DeleteMark(position);
    MarkLine(line, csBookMarkChanged);
}

void TCustomEasyEditSource::ToggleBookmark(int index, TEasyPoint point)
{
    const int position = bookmarks_.IndexOfMark(index);
    if (position >= 0 && bookmarks_.Mark(position).Y == point.Y)
        ClearBookmark(index);
    else
        SetBookmark(index, point);
}

bool TCustomEasyEditSource::GetBookmark(int index, TEasyPoint& point) const
{
    const int position = bookmarks_.IndexOfMark(index);
    if (position < 0)
        return false;
    point = {bookmarks_.Mark(position).X, bookmarks_.Mark(position).Y};
    return true;
}

bool TCustomEasyEditSource::GotoBookmark(int index)
{
    TEasyPoint point;
    if (!GetBookmark(index, point))
        return false;
    jumping_ = true;
    const ScopeExit done([this] { jumping_ = false; });
    SetCaretPos(point.X, point.Y);
    return true;
}

int TCustomEasyEditSource::GetLineStyle(int line) const
{
    int position = 0;
    if (!lineMarks_.FindKey(line, position))
        return -1;
    return lineMarks_.Mark(position).Index;
}

void TCustomEasyEditSource::SetLineStyle(int line, int style)
{
    TUpdate update(*this, ckState);
    int position = 0;
    while (lineMarks_.FindKey(line, position))
        lineMarks_.DeleteMark(position);
    if (style >= 0)
        lineMarks_.AddMark({0, line, style});
    MarkLine(line, csLineStyleChanged);
}

}  // namespace qrv
