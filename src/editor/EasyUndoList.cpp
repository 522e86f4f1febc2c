#include "editor/EasyUndoList.h"

#include <algorithm>

namespace qrv {

int32_t TEasyUndoRecord::Integer() const
{
    if (const int32_t* value = std::get_if<int32_t>(&Data))
        return *value;
    if (const TEasyChangePayload* payload = Payload())
        return payload->Value;
    return 0;
}

void TEasyReplacePayload::Reserve(size_t units)
{
    Blocks.emplace_back().reserve(units);
}

void TEasyReplacePayload::Add(std::u16string_view text)
{
    if (Blocks.empty() || Blocks.back().capacity() - Blocks.back().size() < text.size()) {
        // Each block twice the one before, up to a size that is cheap to
        // fill; a longer text gets a block of its own.
        constexpr size_t kFirst = 256, kMost = size_t(1) << 16;
        const size_t next = Blocks.empty() ? kFirst : std::min(2 * Blocks.back().capacity(), kMost);
        Blocks.emplace_back().reserve(std::max(next, text.size()));
    }
    Blocks.back() += text;
    Lengths.push_back(static_cast<uint32_t>(text.size()));
}

std::vector<std::u16string_view> TEasyReplacePayload::Pieces() const
{
    std::vector<std::u16string_view> pieces;
    pieces.reserve(Lengths.size());
    size_t block = 0, at = 0;
    for (const uint32_t length : Lengths) {
        // A text that did not fit where the last one ended began the next
        // block.
        if (block < Blocks.size() && at + length > Blocks[block].size()) {
            ++block;
            at = 0;
        }
        if (block >= Blocks.size()) {
            pieces.emplace_back();
            continue;
        }
        pieces.push_back(std::u16string_view(Blocks[block]).substr(at, length));
        at += length;
    }
    return pieces;
}

TEasyUndoRecord TEasyUndoList::Pop()
{
    TEasyUndoRecord record = std::move(records_.back());
    records_.pop_back();
    return record;
}

TEasyBookMarkList::TEasyBookMarkList()
{
    Duplicates = dupAcceptItem;
}

TEasyBookMarkList::~TEasyBookMarkList()
{
    ClearMarks();
}

int TEasyBookMarkList::CompareKey(TItem item, TItem key) const
{
    const int y = Record(item)->Y;
    return y < key ? -1 : y > key ? 1 : 0;
}

int TEasyBookMarkList::Compare(TItem item1, TItem item2) const
{
    const TEasyBookMark& a = *Record(item1);
    const TEasyBookMark& b = *Record(item2);
    if (a.Y != b.Y)
        return a.Y < b.Y ? -1 : 1;
    if (a.X != b.X)
        return a.X < b.X ? -1 : 1;
    return a.Index < b.Index ? -1 : a.Index > b.Index ? 1 : 0;
}

bool TEasyBookMarkList::AddMark(const TEasyBookMark& mark)
{
    for (TItem item : List()) {
        const TEasyBookMark& other = *Record(item);
        if (other.X == mark.X && other.Y == mark.Y && other.Index == mark.Index)
            return false;
    }
    auto record = std::make_unique<TEasyBookMark>(mark);
    Add(reinterpret_cast<TItem>(record.get()));
    record.release();  // owned by the list from here on
    return true;
}

int TEasyBookMarkList::IndexOfMark(int index) const
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Record(Items(i))->Index == index)
            return i;
    return -1;
}

void TEasyBookMarkList::DeleteMark(int position)
{
    std::unique_ptr<TEasyBookMark> record(Record(Items(position)));
    Delete(position);
}

void TEasyBookMarkList::ClearMarks()
{
    for (TItem item : List())
        std::unique_ptr<TEasyBookMark>{Record(item)};
    Clear();
}

bool TEasyBookMarkList::Shift(int caretX, int caretY, int dx, int dy)
{
    if (Count() == 0 || (dx == 0 && dy == 0))
        return false;
    // The first record on or below the caret line.
    int start = 0;
    FindKey(caretY, start);
    bool moved = false;
    for (int i = start; i < Count(); ++i) {
        TEasyBookMark& mark = *Record(Items(i));
        if (dy == 0) {
            if (mark.Y != caretY)
                break;
            if ((dx >= 0 && mark.X >= caretX) || (dx < 0 && mark.X > caretX)) {
                mark.X += dx;
                moved = true;
            }
            continue;
        }
        const bool onCaretLine = mark.Y == caretY;
        // A join (dy < 0) leaves the caret line's records where they are.
        if (mark.Y > caretY || (onCaretLine && dy > 0 && mark.X >= caretX)) {
            // A split carries the part right of the caret to the next line;
            // a join appends the line below to the caret line.
            if ((onCaretLine && dy > 0) || (mark.Y == caretY + 1 && dy < 0))
                mark.X += dx;
            mark.Y += dy;
            moved = true;
        }
    }
    if (moved)
        Sort();
    return moved;
}

}  // namespace qrv
