#include "editor/EasyStrings.h"

#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/Streams.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace qrv {

// --- TEasyWideStrings --------------------------------------------------------

std::u16string TEasyWideStrings::GetTextStr() const
{
    const int count = GetCount();
    std::vector<std::u16string> lines;
    lines.reserve(count);
    size_t length = 0;
    for (int i = 0; i < count; ++i) {
        lines.push_back(Get(i));
        length += lines.back().size() + 2;
    }
    std::u16string text;
    text.reserve(length);
    for (const std::u16string& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

void TEasyWideStrings::Put(int index, std::u16string_view text)
{
    const intptr_t object = GetObject(index);
    Delete(index);
    Insert(index, text);
    PutObject(index, object);
}

void TEasyWideStrings::SetTextStr(std::u16string_view text)
{
    Updating([&] {
        Clear();
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find_first_of(u"\r\n", start);
            if (end == std::u16string_view::npos) {
                Add(text.substr(start));
                break;
            }
            Add(text.substr(start, end - start));
            start = end + 1;
            if (text[end] == u'\r' && start < text.size() && text[start] == u'\n')
                ++start;
        }
    });
}

int TEasyWideStrings::Add(std::u16string_view text)
{
    const int index = GetCount();
    Insert(index, text);
    return index;
}

int TEasyWideStrings::AddObject(std::u16string_view text, intptr_t value)
{
    const int index = Add(text);
    PutObject(index, value);
    return index;
}

void TEasyWideStrings::AddStrings(const TStrings& strings)
{
    Updating([&] {
        for (int i = 0; i < strings.Count(); ++i)
            Add(ToUtf16(strings[i]));
    });
}

void TEasyWideStrings::AddStrings(const TEasyWideStrings& strings)
{
    Updating([&] {
        for (int i = 0; i < strings.Count(); ++i)
            AddObject(strings.Get(i), strings.GetObject(i));
    });
}

void TEasyWideStrings::Exchange(int index1, int index2)
{
    Updating([&] {
        const std::u16string text1 = Get(index1);
        const intptr_t object1 = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, text1);
        PutObject(index2, object1);
    });
}

void TEasyWideStrings::Move(int from, int to)
{
    if (from == to)
        return;
    Updating([&] {
        const std::u16string text = Get(from);
        const intptr_t object = GetObject(from);
        Delete(from);
        Insert(to, text);
        PutObject(to, object);
    });
}

int TEasyWideStrings::IndexOf(std::u16string_view text) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) == text)
            return i;
    return -1;
}

bool TEasyWideStrings::Equals(const TEasyWideStrings& other) const
{
    if (GetCount() != other.GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

void TEasyWideStrings::Assign(const TEasyWideStrings& source)
{
    if (&source == this)
        return;
    Updating([&] {
        Clear();
        AddStrings(source);
    });
}

void TEasyWideStrings::Assign(const TStrings& source)
{
    Updating([&] {
        Clear();
        for (int i = 0; i < source.Count(); ++i)
            AddObject(ToUtf16(source[i]), reinterpret_cast<intptr_t>(source.GetObject(i)));
    });
}

void TEasyWideStrings::LoadFromStream(TStream& stream)
{
    Updating([&] {
        Clear();
        TEasyTextFormat format;
        ReadTextLines(stream, format, [this](std::u16string_view line) { Add(line); });
        format_ = format;
    });
}

std::string TEasyWideStrings::FileBytes() const
{
    return EncodeTextLines(format_, GetCount(), [this](int index) { return StoredText(index); });
}

void TEasyWideStrings::SaveToStream(TStream& stream) const
{
    stream.WriteBytes(FileBytes());
}

void TEasyWideStrings::LoadFromFile(const std::wstring& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TEasyWideStrings::SaveToFile(const std::wstring& fileName) const
{
    // Encoding may raise EEncodingError: nothing is written then.
    ReplaceFileContents(fileName, FileBytes());
}

void TEasyWideStrings::BeginUpdate()
{
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TEasyWideStrings::EndUpdate()
{
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0)
        SetUpdateState(false);
}

void TEasyWideStrings::SetUnicode(bool unicode)
{
    if (unicode == format_.Unicode && !format_.Utf8)
        return;
    // Either way the text leaves UTF-8: UTF-16 with its mark, or ANSI.
    format_.Unicode = unicode;
    format_.Utf8 = false;
    format_.BigEndian = false;
    format_.ByteOrderMark = unicode;
}

std::vector<TEasyProperty> TEasyWideStrings::Properties()
{
    TEasyProperty strings = StringsProperty(
        L"Strings",
        [this] {
            TEasyStringsValue lines;
            lines.reserve(GetCount());
            for (int i = 0; i < GetCount(); ++i)
                lines.push_back(ToWide(StoredText(i)));
            return lines;
        },
        [this](const TEasyStringsValue& lines) {
            Updating([&] {
                Clear();
                for (const std::wstring& line : lines)
                    Add(ToUtf16(line));
            });
        });
    strings.Stored = [this] { return GetCount() > 0; };
    return {strings};
}

// --- TEasyStringItem ---------------------------------------------------------

void TEasyStringItem::Deleter::operator()(TEasyStringItem* item) const
{
    item->~TEasyStringItem();
    ::operator delete(static_cast<void*>(item));
}

TEasyStringItem::Ptr TEasyStringItem::Create(std::u16string_view text)
{
    const auto length = static_cast<uint32_t>(text.size());
    void* block = ::operator new(sizeof(TEasyStringItem) + length * sizeof(char16_t));
    Ptr item(new (block) TEasyStringItem(length, length));
    if (length)
        std::memcpy(item->Chars(), text.data(), length * sizeof(char16_t));
    return item;
}

TEasyStringItem::Ptr TEasyStringItem::WithText(Ptr item, std::u16string_view text)
{
    if (text.size() <= item->capacity_) {
        item->length_ = static_cast<uint32_t>(text.size());
        if (!text.empty())
            std::memmove(item->Chars(), text.data(), text.size() * sizeof(char16_t));
        return item;
    }
    Ptr fresh = Create(text);
    fresh->Styles = std::move(item->Styles);
    fresh->EndState = item->EndState;
    fresh->StartState = item->StartState;
    fresh->Flags = item->Flags;
    fresh->Data = item->Data;
    fresh->Reserved1 = item->Reserved1;
    fresh->Reserved2 = item->Reserved2;
    fresh->Hidden = item->Hidden;
    fresh->Level = item->Level;
    return fresh;
}

// --- TEasyVisibleLinesList ---------------------------------------------------

void TEasyVisibleLinesList::Shift(int fromLine, int delta)
{
    for (TItem& entry : MutableList())
        if (entry >= fromLine)
            entry += delta;
    ForgetLastFound();
}

int TEasyVisibleLinesList::HiddenAboveRow(int row) const
{
    // entry - position never decreases along the list: bisection for the
    // last entry with at most row visible lines above it.
    const std::vector<TItem>& entries = List();
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (entries[mid] - mid <= row)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// --- TEasyStrings ------------------------------------------------------------

TEasyStrings::TEasyStrings() = default;

TEasyStrings::~TEasyStrings()
{
    // No reports while the lines go.
    OnChange = nullptr;
    OnChanging = nullptr;
    OnGetString = nullptr;
}

std::u16string TEasyStrings::Get(int index) const
{
    if (!Valid(index))
        return {};
    std::u16string text(items_[index]->Text());
    if (OnGetString)
        OnGetString(*this, text, 0);
    return text;
}

std::u16string_view TEasyStrings::GetStored(int index) const
{
    return Valid(index) ? items_[index]->Text() : std::u16string_view();
}

intptr_t TEasyStrings::GetObject(int index) const
{
    return Valid(index) ? items_[index]->Data : 0;
}

TEasyStringItem* TEasyStrings::Items(int index)
{
    return Valid(index) ? items_[index].get() : nullptr;
}

const TEasyStringItem* TEasyStrings::Items(int index) const
{
    return Valid(index) ? items_[index].get() : nullptr;
}

void TEasyStrings::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(*this);
}

void TEasyStrings::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(*this);
}

void TEasyStrings::SetUpdateState(bool updating)
{
    if (updating) {
        ResetChangedRange();
        Changing();
    } else {
        Changed();
    }
}

void TEasyStrings::Widen(int from, int to)
{
    firstChanged_ = firstChanged_ == -1 ? from : std::min(firstChanged_, from);
    lastChanged_ = std::max(lastChanged_, to);
}

void TEasyStrings::StoredHook(int index)
{
    if (!OnGetString)
        return;
    // The copy's storage serves one line after the other.
    hookCopy_.assign(items_[index]->Text());
    OnGetString(*this, hookCopy_, 1);
}

void TEasyStrings::Grow()
{
    const size_t capacity = items_.capacity();
    if (items_.size() < capacity)
        return;
    const size_t delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    items_.reserve(capacity + delta);
}

void TEasyStrings::Put(int index, std::u16string_view text)
{
    if (!Valid(index))
        return;
    Changing();
    TEasyStringItem::Ptr& item = items_[index];
    item = TEasyStringItem::WithText(std::move(item), text);
    item->Styles.clear();
    item->Flags &= static_cast<uint8_t>(~lfParsed);
    Widen(index, index);
    StoredHook(index);
    Changed();
}

void TEasyStrings::PutObject(int index, intptr_t value)
{
    if (!Valid(index))
        return;
    Changing();
    items_[index]->Data = value;
    Widen(index, index);
    Changed();
}

void TEasyStrings::Insert(int index, std::u16string_view text)
{
    if (index < 0 || index > GetCount())
        return;
    Changing();
    Grow();
    items_.insert(items_.begin() + index, TEasyStringItem::Create(text));
    hidden_.Shift(index, 1);
    Widen(index, ToTheEnd);
    StoredHook(index);
    Changed();
}

void TEasyStrings::Replace(int first, int count, const std::vector<std::u16string_view>& texts)
{
    if (first < 0 || count < 0 || first + count > GetCount())
        return;
    Changing();
    const int added = static_cast<int>(texts.size());
    const int kept = std::min(count, added);
    for (int i = 0; i < kept; ++i) {
        TEasyStringItem::Ptr& item = items_[first + i];
        item = TEasyStringItem::WithText(std::move(item), texts[i]);
        item->Styles.clear();
        item->Flags &= static_cast<uint8_t>(~lfParsed);
    }
    const auto at = items_.begin() + first + kept;
    if (count > kept) {
        items_.erase(at, at + (count - kept));
    } else if (added > kept) {
        std::vector<TEasyStringItem::Ptr> fresh;
        fresh.reserve(static_cast<size_t>(added - kept));
        for (int i = kept; i < added; ++i)
            fresh.push_back(TEasyStringItem::Create(texts[i]));
        items_.insert(at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    }
    if (count != added && hidden_.Count() > 0)
        RebuildHiddenIndex();
    Widen(first, count == added ? first + count - 1 : ToTheEnd);
    for (int i = first; i < first + added; ++i)
        StoredHook(i);
    Changed();
}

void TEasyStrings::Delete(int index)
{
    if (!Valid(index))
        return;
    Changing();
    if (items_[index]->Hidden)
        hidden_.Remove(index);
    items_.erase(items_.begin() + index);
    hidden_.Shift(index + 1, -1);
    Widen(index, ToTheEnd);
    Changed();
}

void TEasyStrings::Exchange(int index1, int index2)
{
    if (!Valid(index1) || !Valid(index2) || index1 == index2)
        return;
    Changing();
    TEasyStringItem& a = *items_[index1];
    TEasyStringItem& b = *items_[index2];
    // Text, styles and data travel; flags, states and visibility stay with
    // the positions: swap the records, then swap those fields back.
    std::swap(a.EndState, b.EndState);
    std::swap(a.StartState, b.StartState);
    std::swap(a.Flags, b.Flags);
    std::swap(a.Reserved1, b.Reserved1);
    std::swap(a.Reserved2, b.Reserved2);
    std::swap(a.Hidden, b.Hidden);
    std::swap(a.Level, b.Level);
    std::swap(items_[index1], items_[index2]);
    Widen(std::min(index1, index2), std::max(index1, index2));
    Changed();
}

void TEasyStrings::Clear()
{
    Changing();
    items_.clear();
    items_.shrink_to_fit();
    RebuildHiddenIndex();
    Widen(0, ToTheEnd);
    Changed();
}

void TEasyStrings::TakeLinesFrom(TEasyStrings& other)
{
    if (&other == this)
        return;
    Changing();
    items_.swap(other.items_);
    const TEasyTextFormat format = Format();
    SetFormat(other.Format());
    other.SetFormat(format);
    RebuildHiddenIndex();
    other.RebuildHiddenIndex();
    Widen(0, ToTheEnd);
    Changed();
}

void TEasyStrings::SetCapacity(int capacity)
{
    if (capacity < GetCount())
        return;
    std::vector<TEasyStringItem::Ptr> items;
    items.reserve(static_cast<size_t>(capacity));
    for (auto& item : items_)
        items.push_back(std::move(item));
    items_ = std::move(items);
    RebuildHiddenIndex();
}

int TEasyStrings::StyleAt(int line, int column) const
{
    if (!Valid(line) || column < 1)
        return -1;
    const std::vector<uint16_t>& styles = items_[line]->Styles;
    return static_cast<size_t>(column) <= styles.size() ? styles[column - 1] : -1;
}

void TEasyStrings::SetStyles(int line, int column, uint16_t style, int count)
{
    if (!Valid(line) || column < 1 || count <= 0)
        return;
    TEasyStringItem& item = *items_[line];
    const size_t length = item.Text().size();
    if (item.Styles.size() != length)
        item.Styles.assign(length, 0xFFFF);
    const size_t first = static_cast<size_t>(column - 1);
    const size_t last = std::min(length, first + static_cast<size_t>(count));
    for (size_t i = first; i < last; ++i)
        item.Styles[i] = style;
}

int TEasyStrings::EndState(int line) const
{
    return Valid(line) ? items_[line]->EndState : 0;
}

// --- hidden lines ------------------------------------------------------------

void TEasyStrings::SetAllowHiddenLines(bool allow)
{
    if (allow == allowHiddenLines_)
        return;
    allowHiddenLines_ = allow;
    RebuildHiddenIndex();
}

void TEasyStrings::RebuildHiddenIndex()
{
    hidden_.Clear();
    if (!allowHiddenLines_)
        return;
    for (int i = 0; i < GetCount(); ++i)
        if (items_[i]->Hidden)
            hidden_.Add(i);
}

void TEasyStrings::ShowLine(int line, bool show)
{
    TEasyStringItem& item = *items_[line];
    if (show == !item.Hidden)
        return;
    item.Hidden = show ? 0 : 1;
    if (!allowHiddenLines_)
        return;
    if (show)
        hidden_.Remove(line);
    else
        hidden_.Add(line);
}

void TEasyStrings::SetLineVisible(int line, bool visible)
{
    if (!Valid(line))
        return;
    collapsing_ = true;
    const ScopeExit done([this] { collapsing_ = false; });
    Changing();
    TEasyStringItem& item = *items_[line];
    if (visible) {
        item.Flags &= static_cast<uint8_t>(~lfCollapsible);
        ShowLine(line, true);
    } else {
        item.Flags |= lfCollapsible;
        // A new line inside an open block stays visible.
        const bool closedAbove = line == 0 || items_[line - 1]->Hidden || (items_[line - 1]->Flags & lfCollapsed);
        if (closedAbove)
            ShowLine(line, false);
    }
    Widen(line, ToTheEnd);
    Changed();
}

bool TEasyStrings::IsLineVisible(int line) const
{
    return !allowHiddenLines_ || !Valid(line) || !items_[line]->Hidden;
}

bool TEasyStrings::IsExpanded(int line) const
{
    return Valid(line) && (items_[line]->Flags & lfExpanded);
}

bool TEasyStrings::IsCollapsed(int line) const
{
    return Valid(line) && (items_[line]->Flags & lfCollapsed);
}

void TEasyStrings::Expand(int line, bool on)
{
    SetHeaderState(line, on, false);
}

void TEasyStrings::Collapse(int line, bool on)
{
    SetHeaderState(line, false, on);
}

void TEasyStrings::SetHeaderState(int line, bool expand, bool collapse)
{
    if (!Valid(line))
        return;
    collapsing_ = true;
    const ScopeExit done([this] { collapsing_ = false; });
    Changing();
    TEasyStringItem& header = *items_[line];
    header.Flags &= static_cast<uint8_t>(~(lfExpanded | lfCollapsed));
    if (expand)
        header.Flags |= lfExpanded;
    else if (collapse)
        header.Flags |= lfCollapsed;
    const bool expanded = (header.Flags & lfExpanded) != 0;
    int level = -1;
    for (int i = line + 1; i < GetCount(); ++i) {
        TEasyStringItem& item = *items_[i];
        if (!(item.Flags & lfCollapsible))
            break;
        if (level < 0)
            level = item.Level;
        if (item.Level < level)
            break;
        if (expanded && (item.Flags & lfCollapsed)) {
            item.Flags &= static_cast<uint8_t>(~lfCollapsed);
            item.Flags |= lfExpanded;
        }
        ShowLine(i, expanded);
    }
    Widen(line, ToTheEnd);
    Changed();
}

void TEasyStrings::ExpandAbove(int line)
{
    for (int i = std::min(line, GetCount()) - 1; i >= 0; --i)
        if (IsCollapsed(i)) {
            Expand(i, true);
            return;
        }
}

int TEasyStrings::LineToRow(int line) const
{
    if (!allowHiddenLines_ || hidden_.Count() == 0)
        return line;
    int index = -1;
    hidden_.FindNearest(line, index);
    if (index < 0)
        return line;
    const bool hidden = Valid(line) && items_[line]->Hidden;
    return line - (index + 1) + (hidden ? 1 : 0);
}

int TEasyStrings::RowToLine(int row) const
{
    if (!allowHiddenLines_ || hidden_.Count() == 0)
        return row;
    return row + hidden_.HiddenAboveRow(row);
}

}  // namespace qrv
