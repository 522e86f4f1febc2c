#pragma once
// The undo and redo lists of an edit source, and its bookmark and line-mark
// lists. An undo record owns its payload, which goes with the record when it
// is popped or cleared. Bookmarks and line marks are {column, line, index}
// records kept sorted by line, column and index, and move with the text.
// Portable.

#include "editor/EasySortedList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qrv {

// What an undo record took back.
enum : uint8_t {
    ukCaretMove = 0,
    ukInsert = 1,
    ukDelete = 2,
    ukJoin = 3,
    ukBreak = 4,
    // A range of text, over any number of lines, replaced in one change.
    ukReplace = 5,
    ukCompoundEnd = 9,
};

// A change with the caret it was made at.
struct TEasyChangePayload {
    std::u16string Text;
    std::vector<uint16_t> Styles;
    int32_t CaretX = 0;
    int32_t CaretY = 0;
    int32_t Value = 0;
};

// A replaced range: what stood there before and where the text that took its
// place ends, in stored character indices, not display columns. Or, with
// line numbers, lines each given a new text: what each held before. The
// texts are kept one after the other in blocks that are filled, never moved,
// and their lengths.
struct TEasyReplacePayload {
    int32_t FromX = 0, FromY = 0;
    int32_t ToX = 0, ToY = 0;
    std::vector<int32_t> LineNumbers;
    std::vector<std::u16string> Blocks;
    std::vector<uint32_t> Lengths;
    // The caret's display position at the change.
    int32_t CaretX = 0;
    int32_t CaretY = 0;

    // Room for texts of that many units in all, when it is known.
    void Reserve(size_t units);
    void Add(std::u16string_view text);
    std::vector<std::u16string_view> Pieces() const;
};

struct TEasyCaretDelta {
    int32_t Dx = 0;
    int32_t Dy = 0;
};

struct TEasyUndoRecord {
    uint8_t Kind = 0;
    uint8_t ChangeKind = 0;
    uint8_t Compound = 0;
    uint8_t GroupStart = 0;
    // Made at a position of its own rather than the caret's: applying it puts
    // the caret there and back again (trims and paddings the caret did not
    // visit).
    uint8_t Positioned = 0;
    std::variant<std::monostate, int32_t, TEasyCaretDelta, TEasyChangePayload, TEasyReplacePayload> Data;

    const TEasyChangePayload* Payload() const { return std::get_if<TEasyChangePayload>(&Data); }
    const TEasyReplacePayload* Replacement() const { return std::get_if<TEasyReplacePayload>(&Data); }
    int32_t Integer() const;
};

class TEasyUndoList {
public:
    bool UndoOnlyChanges = false;

    int Count() const { return static_cast<int>(records_.size()); }
    bool Empty() const { return records_.empty(); }
    void Add(TEasyUndoRecord record) { records_.push_back(std::move(record)); }
    // The last record; requires a non-empty list.
    const TEasyUndoRecord& Last() const { return records_.back(); }
    const TEasyUndoRecord& operator[](int index) const { return records_.at(static_cast<size_t>(index)); }
    // Takes the last record out (its payload goes with it).
    TEasyUndoRecord Pop();
    void Clear() { records_.clear(); }

private:
    std::vector<TEasyUndoRecord> records_;
};

struct TEasyBookMark {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Index = 0;
};

// Sorted by line, then column, then index; searched by line. Duplicates are
// accepted. The list owns its records.
class TEasyBookMarkList : public TEasySortedList {
public:
    TEasyBookMarkList();
    ~TEasyBookMarkList() override;
    TEasyBookMarkList(const TEasyBookMarkList&) = delete;
    TEasyBookMarkList& operator=(const TEasyBookMarkList&) = delete;

    const TEasyBookMark& Mark(int index) const { return *Record(Items(index)); }
    // Adds the record unless the same one is there; true when added.
    bool AddMark(const TEasyBookMark& mark);
    // The position of the last record of that index, or -1.
    int IndexOfMark(int index) const;
    void DeleteMark(int position);
    void ClearMarks();
    // Moves the records behind the caret by a change at it; true when any moved.
    bool Shift(int caretX, int caretY, int dx, int dy);

    int CompareKey(TItem item, TItem key) const override;
    int Compare(TItem item1, TItem item2) const override;

private:
    static TEasyBookMark* Record(TItem item) { return reinterpret_cast<TEasyBookMark*>(item); }
};

}  // namespace qrv
