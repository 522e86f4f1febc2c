// The edit source's undo and redo steps, bookmarks and line marks.

#include "editor/EasyEditSource.h"

#include "editor/EasyEditSourceScopes.h"

#include <algorithm>

namespace qrv {

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
    // The step's first record on the other list starts its group there, so
    // that list takes the step back whole as well.
    groupStart_ = true;
    while (!from.Empty()) {
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
    if (const TEasyReplacePayload* replacement = record.Replacement()) {
        if (undo_.UndoOnlyChanges)
            caret_ = {replacement->CaretX, replacement->CaretY};
        ApplyReplacement(*replacement);
        return;
    }
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

void TCustomEasyEditSource::ApplyReplacement(const TEasyReplacePayload& payload)
{
    // Puts back what stood there; the text taken out is recorded in turn.
    const std::vector<std::u16string_view> pieces = payload.Pieces();
    if (payload.LineNumbers.empty()) {
        ReplaceRange({payload.FromX, payload.FromY}, {payload.ToX, payload.ToY}, pieces);
        return;
    }
    BeginLineEdits();
    const ScopeExit done([this] { EndLineEdits(); });
    for (size_t i = 0; i < pieces.size() && i < payload.LineNumbers.size(); ++i)
        PutLine(payload.LineNumbers[i], pieces[i]);
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
