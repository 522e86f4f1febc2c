#pragma once
// The editor's document: a list of lines of UTF-16 code units. TEasyWideStrings
// defines the operations of a line list over a few primitives, with the text
// file format (EasyTextFile.h). TEasyStrings is the list every edit source
// owns: one record per line with the syntax styles of its characters, the
// parser states at both ends, the flags of collapsible blocks and the range
// of lines changed since the last report. TEasyVisibleLinesList indexes the
// hidden lines, to map line numbers to visible rows and back. Portable.

#include "editor/EasyPersistent.h"
#include "editor/EasySortedList.h"
#include "editor/EasyTextFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TStream;
class TStrings;

class TEasyWideStrings : public TEasyPersistent {
public:
    ~TEasyWideStrings() override = default;

    // The primitives.
    virtual std::u16string Get(int index) const = 0;
    virtual int GetCapacity() const { return GetCount(); }
    virtual int GetCount() const = 0;
    virtual intptr_t GetObject(int /*index*/) const { return 0; }
    // Every line followed by CR LF, the last one included.
    virtual std::u16string GetTextStr() const;
    virtual void Put(int index, std::u16string_view text);
    virtual void PutObject(int /*index*/, intptr_t /*value*/) {}
    virtual void SetCapacity(int /*capacity*/) {}
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    virtual void SetTextStr(std::u16string_view text);
    virtual void SetUpdateState(bool /*updating*/) {}
    virtual int Add(std::u16string_view text);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Insert(int index, std::u16string_view text) = 0;
    virtual void Move(int from, int to);
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;

    int Count() const { return GetCount(); }
    std::u16string operator[](int index) const { return Get(index); }
    int AddObject(std::u16string_view text, intptr_t value);
    // From a framework string list (its objects are not carried over).
    void AddStrings(const TStrings& strings);
    void AddStrings(const TEasyWideStrings& strings);
    // Exact, case-sensitive; -1 when no line equals the text.
    int IndexOf(std::u16string_view text) const;
    bool Equals(const TEasyWideStrings& other) const;
    void Assign(const TEasyWideStrings& source);
    void Assign(const TStrings& source);
    void SetText(std::u16string_view text) { SetTextStr(text); }

    // Opens the file (writing by others denied) and loads it; an open error
    // reaches the caller with the list unchanged.
    void LoadFromFile(const std::wstring& fileName);
    // Encodes first, then writes a temporary file beside the target and
    // swaps it in: a character the ANSI code page cannot hold raises
    // EEncodingError, and a failed save leaves the old file as it was.
    void SaveToFile(const std::wstring& fileName) const;
    // The bytes SaveToStream writes.
    std::string FileBytes() const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // The file's format, set by loading and used by saving. The host's
    // Unicode and ANSI commands set Unicode; switching to UTF-16 writes the
    // mark FF FE.
    bool Unicode() const { return format_.Unicode; }
    void SetUnicode(bool unicode);
    TEasyLineBreak LineBreak() const { return format_.LineBreak; }
    void SetLineBreak(TEasyLineBreak lineBreak) { format_.LineBreak = lineBreak; }
    bool FinalLineBreak() const { return format_.FinalLineBreak; }
    void SetFinalLineBreak(bool finalLineBreak) { format_.FinalLineBreak = finalLineBreak; }
    const TEasyTextFormat& Format() const { return format_; }
    void SetFormat(const TEasyTextFormat& format) { format_ = format; }

    // One property, "Strings": the lines, stored when there are any.
    std::vector<TEasyProperty> Properties() override;

protected:
    // Runs the step inside BeginUpdate/EndUpdate, closing the bracket also
    // when the step raises.
    template <typename Step>
    void Updating(Step step)
    {
        BeginUpdate();
        try {
            step();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    // The text as stored, for saving (Get may pass it through a hook).
    virtual std::u16string StoredText(int index) const { return Get(index); }

private:
    TEasyTextFormat format_;
    int updateCount_ = 0;
};

// Flags of a line record.
enum : uint8_t {
    lfParsed = 1 << 0,       // Styles are valid for StartState
    lfCollapsible = 1 << 2,  // the line belongs to a block that can be hidden
    lfExpanded = 1 << 3,     // the line heads an open block
    lfCollapsed = 1 << 4,    // the line heads a closed block
};

// One line: its fields and, in the same heap block, its text.
class TEasyStringItem {
public:
    struct Deleter {
        void operator()(TEasyStringItem* item) const;
    };
    using Ptr = std::unique_ptr<TEasyStringItem, Deleter>;

    static Ptr Create(std::u16string_view text);
    // A record holding the text: this one when it fits, else a new one with
    // the same fields.
    static Ptr WithText(Ptr item, std::u16string_view text);

    std::u16string_view Text() const { return {Chars(), length_}; }

    // One style per character once the line is parsed (0xFFFF: no style);
    // allocated by the first parse.
    std::vector<uint16_t> Styles;
    uint16_t EndState = 0;
    uint16_t StartState = 0;
    uint8_t Flags = 0;
    intptr_t Data = 0;
    int16_t Reserved1 = -1;
    int16_t Reserved2 = -1;
    uint8_t Hidden = 0;
    uint8_t Level = 0;

private:
    TEasyStringItem(uint32_t length, uint32_t capacity) : length_(length), capacity_(capacity) {}
    char16_t* Chars() { return reinterpret_cast<char16_t*>(this + 1); }
    const char16_t* Chars() const { return reinterpret_cast<const char16_t*>(this + 1); }

    uint32_t length_;
    uint32_t capacity_;
};

// The indices of the hidden lines, ascending.
class TEasyVisibleLinesList : public TEasySortedList {
public:
    // Entries at or above the line move by delta.
    void Shift(int fromLine, int delta);
    // The number of hidden lines above the visible row: an entry at position
    // p has (entry - p) visible lines above it.
    int HiddenAboveRow(int row) const;
};

class TEasyStrings : public TEasyWideStrings {
public:
    static constexpr int ToTheEnd = 2147483647;

    TEasyStrings();
    ~TEasyStrings() override;

    // An index outside the list reads as "", and the hook (mode 0) may
    // change what a line reads as.
    std::u16string Get(int index) const override;
    // The stored text, without the hook.
    std::u16string_view GetStored(int index) const;
    int GetCapacity() const override { return static_cast<int>(items_.capacity()); }
    int GetCount() const override { return static_cast<int>(items_.size()); }
    intptr_t GetObject(int index) const override;
    void Put(int index, std::u16string_view text) override;
    void PutObject(int index, intptr_t value) override;
    void SetCapacity(int capacity) override;
    void SetUpdateState(bool updating) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    void Insert(int index, std::u16string_view text) override;
    // The lines first .. first + count - 1 replaced by the texts in one
    // change (one report, one move of the lines behind them). A line that
    // stays where it was keeps its record's fields, as Put does; added lines
    // get new records. Nothing happens for a range outside the list.
    void Replace(int first, int count, const std::vector<std::u16string_view>& texts);
    // Takes the other list's lines and file format in one change; the other
    // list gets these lines. Loading aside and then taking the lines keeps
    // the document as it was when the load fails.
    void TakeLinesFrom(TEasyStrings& other);

    // The record of a line, or nullptr outside the list.
    TEasyStringItem* Items(int index);
    const TEasyStringItem* Items(int index) const;

    // The style of a character (column from 1), -1 outside the line.
    int StyleAt(int line, int column) const;
    // Fills count characters from the column with the style.
    void SetStyles(int line, int column, uint16_t style, int count);
    int EndState(int line) const;

    // The lines changed since the range was last reset (-1: none; the last
    // line ToTheEnd for "to the end of the list").
    int FirstChanged() const { return firstChanged_; }
    int LastChanged() const { return lastChanged_; }
    void ResetChangedRange() { firstChanged_ = lastChanged_ = -1; }

    // Hidden lines.
    bool AllowHiddenLines() const { return allowHiddenLines_; }
    void SetAllowHiddenLines(bool allow);
    bool Collapsing() const { return collapsing_; }
    void SetLineVisible(int line, bool visible);
    bool IsLineVisible(int line) const;
    bool IsExpanded(int line) const;
    bool IsCollapsed(int line) const;
    void Expand(int line, bool on);
    void Collapse(int line, bool on);
    // Expands the nearest collapsed header above the line.
    void ExpandAbove(int line);
    int HiddenCount() const { return hidden_.Count(); }
    int LineToRow(int line) const;
    int RowToLine(int row) const;

    std::function<void(TEasyStrings& Sender)> OnChange;
    std::function<void(TEasyStrings& Sender)> OnChanging;
    // Mode 0: a line is being read, the hook may change the text handed out.
    // Mode 1: a line was stored; the text is a copy of it.
    std::function<void(const TEasyStrings& Sender, std::u16string& Text, int Mode)> OnGetString;

protected:
    std::u16string StoredText(int index) const override { return std::u16string(GetStored(index)); }
    virtual void Changed();
    virtual void Changing();

private:
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
    void Widen(int from, int to);
    void Grow();
    void ShowLine(int line, bool show);
    void SetHeaderState(int line, bool expand, bool collapse);
    void RebuildHiddenIndex();
    void StoredHook(int index);

    std::vector<TEasyStringItem::Ptr> items_;
    TEasyVisibleLinesList hidden_;
    std::u16string hookCopy_;
    int firstChanged_ = -1;
    int lastChanged_ = -1;
    bool collapsing_ = false;
    bool allowHiddenLines_ = false;
};

}  // namespace qrv
