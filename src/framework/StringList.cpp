#include "framework/StringList.h"

#include "framework/Encoding.h"
#include "framework/ScopeExit.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <numeric>

namespace qrv {

// --- TStrings ------------------------------------------------------------

int TStrings::Add(const std::wstring& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::wstring& s, void* object)
{
    const int index = Add(s);
    if (index >= 0)
        PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::wstring& s, void* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& other)
{
    const TUpdateLock update(*this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
    for (int i = 0; i < other.Count(); ++i)
        AddObject(other.Get(i), other.GetObject(i));
}

void TStrings::Assign(const TStrings& other)
{
    if (&other == this)
        return;
    const TUpdateLock update(*this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
    Clear();
    AddStrings(other);
}

void TStrings::Move(int from, int to)
{
    if (from == to)
        return;
    const std::wstring s = Get(from);
    void* object = GetObject(from);
    Delete(from);
    InsertObject(to, s, object);
}

void TStrings::Exchange(int a, int b)
{
    const std::wstring s = Get(a);
    void* object = GetObject(a);
    Put(a, Get(b));
    PutObject(a, GetObject(b));
    Put(b, s);
    PutObject(b, object);
}

int TStrings::IndexOf(const std::wstring& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const void* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

bool TStrings::Equals(const TStrings& other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

int TStrings::CompareStrings(std::wstring_view a, std::wstring_view b) const
{
    return CaseSensitive() ? CompareStr(a, b) : CompareText(a, b);
}

std::wstring TStrings::Names(int index) const
{
    const std::wstring& s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == std::wstring::npos ? std::wstring() : s.substr(0, p);
}

std::wstring TStrings::ValueFromIndex(int index) const
{
    const std::wstring& s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == std::wstring::npos ? std::wstring() : s.substr(p + 1);
}

int TStrings::IndexOfName(std::wstring_view name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::wstring& s = Get(i);
        const size_t p = s.find(NameValueSeparator);
        if (p != std::wstring::npos && CompareStrings(std::wstring_view(s).substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

std::wstring TStrings::Values(std::wstring_view name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? std::wstring() : ValueFromIndex(i);
}

void TStrings::SetValue(std::wstring_view name, const std::wstring& value)
{
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    std::wstring line = std::wstring(name) + NameValueSeparator + value;
    if (i >= 0)
        Put(i, line);
    else
        Add(line);
}

std::wstring TStrings::Text() const
{
    std::wstring text;
    for (int i = 0; i < Count(); ++i) {
        text += Get(i);
        text += L"\r\n";
    }
    return text;
}

void TStrings::SetText(std::wstring_view text)
{
    const TUpdateLock update(*this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != L'\r' && text[end] != L'\n')
            ++end;
        Add(std::wstring(text.substr(start, end - start)));
        if (end < text.size() && text[end] == L'\r')
            ++end;
        if (end < text.size() && text[end] == L'\n')
            ++end;
        start = end;
    }
}

std::wstring TStrings::CommaText() const
{
    std::wstring out;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            out += L',';
        const std::wstring& s = Get(i);
        const bool quote = s.empty() || s.find_first_of(L" \t,\"") != std::wstring::npos;
        if (!quote) {
            out += s;
            continue;
        }
        out += L'"';
        for (wchar_t c : s) {
            if (c == L'"')
                out += L'"';
            out += c;
        }
        out += L'"';
    }
    return out;
}

void TStrings::SetCommaText(std::wstring_view text)
{
    const TUpdateLock update(*this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
    Clear();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::wstring item;
        if (text[i] == L'"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == L'"') {
                    if (i + 1 < text.size() && text[i + 1] == L'"') {
                        item += L'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            while (i < text.size() && text[i] != L',')
                ++i;
        } else {
            while (i < text.size() && text[i] != L',' && text[i] != L' ' && text[i] != L'\t')
                item += text[i++];
        }
        Add(item);
        skipBlanks();
        if (i < text.size() && text[i] == L',') {
            ++i;
            skipBlanks();
            if (i >= text.size())
                Add(L"");
        }
    }
}

void TStrings::LoadFromFile(const std::wstring& fileName, const TEncoding* encoding)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file, encoding);
}

void TStrings::LoadFromStream(TStream& stream, const TEncoding* encoding)
{
    const std::string bytes = stream.ReadAll();
    const TEncoding* used = encoding;
    std::wstring text;
    if (encoding) {
        size_t bomLength = 0;
        TEncoding::FromBOM(bytes, bomLength);
        text = encoding->GetString(std::string_view(bytes).substr(bomLength));
    } else {
        text = TEncoding::DecodeText(bytes, TEncoding::Default(), &used);
    }
    SetText(text);
    encoding_ = used;
}

void TStrings::SaveToFile(const std::wstring& fileName, const TEncoding* encoding) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file, encoding);
    file.Flush();
}

void TStrings::SaveToStream(TStream& stream, const TEncoding* encoding) const
{
    const TEncoding& used = encoding ? *encoding : encoding_ ? *encoding_ : TEncoding::UTF8();
    stream.WriteBytes(used.Preamble());
    stream.WriteBytes(used.GetBytes(Text()));
}

void TStrings::BeginUpdate()
{
    if (updateCount_++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        SetUpdateState(false);
}

// --- TStringList ---------------------------------------------------------

TStringList::TStringList(const TStringList& other)
    : TStrings(), items_(other.items_), sorted_(other.sorted_), caseSensitive_(other.caseSensitive_),
      duplicates_(other.duplicates_)
{
    NameValueSeparator = other.NameValueSeparator;
}

TStringList& TStringList::operator=(const TStringList& other)
{
    if (this != &other) {
        Changing();
        items_ = other.items_;
        sorted_ = other.sorted_;
        caseSensitive_ = other.caseSensitive_;
        duplicates_ = other.duplicates_;
        NameValueSeparator = other.NameValueSeparator;
        Changed();
    }
    return *this;
}

void TStringList::CheckIndex(int index, bool allowEnd) const
{
    const int limit = allowEnd ? Count() : Count() - 1;
    if (index < 0 || index > limit)
        throw EStringListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(*this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(*this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating) {
        if (OnChanging)
            OnChanging(*this);
    } else if (OnChange) {
        OnChange(*this);
    }
}

const std::wstring& TStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[index].Text;
}

void TStringList::Put(int index, const std::wstring& s)
{
    if (sorted_)
        throw EStringListError(L"Diese Operation ist bei sortierten Listen nicht möglich");
    CheckIndex(index);
    Changing();
    items_[index].Text = s;
    Changed();
}

void* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return items_[index].Object;
}

void TStringList::PutObject(int index, void* object)
{
    CheckIndex(index);
    Changing();
    items_[index].Object = object;
    Changed();
}

void TStringList::InsertItem(int index, const std::wstring& s, void* object)
{
    Changing();
    items_.insert(items_.begin() + index, TItem{s, object});
    Changed();
}

void TStringList::Insert(int index, const std::wstring& s)
{
    if (sorted_)
        throw EStringListError(L"Diese Operation ist bei sortierten Listen nicht möglich");
    CheckIndex(index, true);
    InsertItem(index, s, nullptr);
}

int TStringList::Add(const std::wstring& s)
{
    if (!sorted_) {
        InsertItem(Count(), s, nullptr);
        return Count() - 1;
    }
    int index;
    if (Find(s, index)) {
        switch (duplicates_) {
        case TDuplicates::dupIgnore:
            return index;
        case TDuplicates::dupError:
            throw EStringListError(L"Die Stringliste lässt keine Duplikate zu");
        case TDuplicates::dupAccept:
            // Equal strings keep the order in which they were added.
            while (index < Count() && CompareStrings(items_[index].Text, s) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, s, nullptr);
    return index;
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::IndexOf(const std::wstring& s) const
{
    if (!sorted_)
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::wstring_view s, int& index) const
{
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareStrings(items_[middle].Text, s) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    index = low;
    return low < Count() && CompareStrings(items_[low].Text, s) == 0;
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const TItem& a, const TItem& b) { return CompareStrings(a.Text, b.Text) < 0; });
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<TItem> sorted;
    sorted.reserve(items_.size());
    for (int i : order)
        sorted.push_back(std::move(items_[i]));
    Changing();
    items_ = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !sorted_)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive == caseSensitive_)
        return;
    caseSensitive_ = caseSensitive;
    if (sorted_)
        Sort();
}

}  // namespace qrv
