// The edit source's text operations: typing, deleting, breaking and joining
// lines, indenting and unindenting. Each change records itself for undo.

#include "editor/EasyEditSource.h"

#include "editor/EasyEditSourceScopes.h"

#include <algorithm>

namespace qrv {

// ---- text operations -----------------------------------------------------

void TCustomEasyEditSource::ParseChangedLine(int line, int column)
{
    TEasyStringItem* item = strings_.Items(line);
    if (!item)
        return;
    const uint16_t oldEnd = item->EndState;
    const int entering = EnteringState(line);
    if (parser_ || (options_ & (srLiveSpell | srHighlightUrls)))
        ParseLine(line, entering);
    // A new end state changes how the lines below parse, unless none of
    // them starts from the line above.
    if (item->EndState != oldEnd && !LinesParseAlone())
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
    const int index = CharIndex(y, caret_.X, inside, width);
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
    while (kept > 0 && IsEditBlank(stored[kept - 1]))
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

void TCustomEasyEditSource::ReplaceRange(TEasyPoint from, TEasyPoint to, const std::vector<std::u16string_view>& lines)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    const int count = strings_.Count();
    if (from.Y < 0 || to.Y >= count || to.Y < from.Y)
        return;
    from.X = std::clamp(from.X, 0, static_cast<int>(Stored(from.Y).size()));
    to.X = std::clamp(to.X, 0, static_cast<int>(Stored(to.Y).size()));
    if (to.Y == from.Y && to.X < from.X)
        return;
    TOwnEdit own(*this);
    TUpdate update(*this, ckInsert);
    // What stands in the range now, for undo, and its display columns.
    TEasyReplacePayload payload;
    size_t units = 0;
    for (int y = from.Y; y <= to.Y; ++y)
        units += Stored(y).size();
    payload.Reserve(units);
    payload.Lengths.reserve(static_cast<size_t>(to.Y - from.Y + 1));
    for (int y = from.Y; y <= to.Y; ++y) {
        const std::u16string_view stored = Stored(y);
        const size_t start = y == from.Y ? static_cast<size_t>(from.X) : 0;
        const size_t end = y == to.Y ? static_cast<size_t>(to.X) : stored.size();
        payload.Add(stored.substr(start, end - start));
    }
    const int fromColumn = ColumnOf(from.Y, from.X);
    const int toColumn = ColumnOf(to.Y, to.X);
    // The new lines: the first behind the text before the range, the last
    // before the text behind it.
    std::vector<std::u16string_view> put = lines;
    if (put.empty())
        put.emplace_back();
    const int last = static_cast<int>(put.size()) - 1;
    const size_t firstLength = put.front().size(), lastLength = put.back().size();
    const TEasyPoint end{static_cast<int>(lastLength) + (last == 0 ? from.X : 0), from.Y + last};
    std::u16string firstLine(Stored(from.Y).substr(0, static_cast<size_t>(from.X)));
    firstLine += put.front();
    std::u16string lastLine(last == 0 ? std::u16string_view(firstLine) : put.back());
    lastLine += Stored(to.Y).substr(static_cast<size_t>(to.X));
    put.back() = lastLine;
    if (last > 0)
        put.front() = firstLine;
    BeforeChange(fromColumn, from.Y, 0, to.Y - from.Y + 1, ukReplace);
    strings_.Replace(from.Y, to.Y - from.Y + 1, put);
    AfterChange(fromColumn, from.Y, ukReplace);
    payload.FromX = from.X;
    payload.FromY = from.Y;
    payload.ToX = end.X;
    payload.ToY = end.Y;
    payload.CaretX = fromColumn;
    payload.CaretY = from.Y;
    AddUndo(ukReplace, std::move(payload));
    // The lines are parsed when they are next shown; a parser whose states
    // carry parses on from the first of them.
    const bool moved = end.Y != to.Y || !LinesParseAlone();
    AddRange(fromColumn, ToTheEnd, true, moved ? ToTheEnd : end.Y, from.Y);
    ShiftForReplace({fromColumn, from.Y}, {toColumn, to.Y}, from.X, last, firstLength, lastLength);
}

void TCustomEasyEditSource::ShiftForReplace(TEasyPoint from, TEasyPoint to, int fromIndex, int breaks,
                                            size_t firstLength, size_t lastLength)
{
    const ScopeExit back([this, saved = caret_] { caret_ = saved; });
    // Out: the end line's head cut, then each line below the start joined
    // to it.
    if (to.Y == from.Y) {
        caret_ = from;
        ShiftPositions(from.X - to.X, 0);
    } else {
        caret_ = {0, to.Y};
        ShiftPositions(-to.X, 0);
        for (int y = to.Y - 1; y >= from.Y; --y) {
            // The lines between are empty by now; the start line ends at
            // the start.
            caret_ = {y == from.Y ? from.X : 0, y};
            ShiftPositions(caret_.X, -1);
        }
    }
    // In: the first line's text at the start, what follows broken off to
    // the last line, and the last line's text before it.
    const int head = ColumnOf(from.Y, fromIndex + static_cast<int>(firstLength)) - from.X;
    caret_ = from;
    ShiftPositions(head, 0);
    if (breaks == 0)
        return;
    caret_ = {from.X + head, from.Y};
    ShiftPositions(-(from.X + head), breaks);
    caret_ = {0, from.Y + breaks};
    ShiftPositions(ColumnOf(from.Y + breaks, static_cast<int>(lastLength)), 0);
}

void TCustomEasyEditSource::ReplaceLines(int first, const std::vector<std::u16string_view>& texts)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    if (first < 0 || texts.empty() || first + static_cast<int>(texts.size()) > strings_.Count())
        return;
    BeginLineEdits();
    const ScopeExit done([this] { EndLineEdits(); });
    for (size_t i = 0; i < texts.size(); ++i)
        PutLine(first + static_cast<int>(i), texts[i]);
}

void TCustomEasyEditSource::BeginLineEdits()
{
    if (lineEdits_.Depth++ > 0)
        return;
    BeginUpdate(ckInsert);
    ++ownEdit_;
    BeginLinesUpdate();
    lineEdits_.First = lineEdits_.Last = -1;
    lineEdits_.PieceOfLine.assign(static_cast<size_t>(strings_.Count()), -1);
}

void TCustomEasyEditSource::PutLine(int line, std::u16string_view text)
{
    TLineEdits& edits = lineEdits_;
    if (edits.Depth == 0 || line < 0 || line >= static_cast<int>(edits.PieceOfLine.size()) || line >= strings_.Count())
        return;
    if (ReadOnly()) {
        Beep();
        return;
    }
    int32_t& piece = edits.PieceOfLine[static_cast<size_t>(line)];
    if (piece < 0) {
        piece = static_cast<int32_t>(edits.Saved.Lengths.size());
        edits.Saved.LineNumbers.push_back(line);
        edits.Saved.Add(Stored(line));
        edits.First = edits.First < 0 ? line : std::min(edits.First, line);
        edits.Last = std::max(edits.Last, line);
    }
    strings_.Put(line, text);
}

void TCustomEasyEditSource::EndLineEdits()
{
    TLineEdits& edits = lineEdits_;
    if (edits.Depth <= 0 || --edits.Depth > 0)
        return;
    const ScopeExit done([this, &edits] {
        edits.Saved = {};
        edits.PieceOfLine.clear();
        EndLinesUpdate();
        --ownEdit_;
        EndUpdate();
    });
    if (edits.Last < 0)
        return;
    // The record keeps what the lines held before, as they were saved.
    edits.Saved.CaretX = caret_.X;
    edits.Saved.CaretY = caret_.Y;
    AddUndo(ukReplace, std::move(edits.Saved));
    AddRange(0, ToTheEnd, true, LinesParseAlone() ? edits.Last : ToTheEnd, edits.First);
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
        while (p > 0 && IsEditBlank(above[p - 1]))
            --p;
        while (p > 0 && !IsEditBlank(above[p - 1]))
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

}  // namespace qrv
