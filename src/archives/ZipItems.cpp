#include "archives/ZipItems.h"

#include "common/BaseUtils.h"
#include "common/MaskSearch.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

size_t LastSeparator(const std::wstring& StoredName)
{
    return StoredName.find_last_of(L"\\/");
}

}  // namespace

bool PassesZipFilter(const std::wstring& Name, uint64_t Size, uint32_t DateTime, const TZipFilter& Filter)
{
    if (Filter.Masks && !MatchesMaskList(Name, Filter.Masks))
        return false;
    const uint64_t clamped = std::min<uint64_t>(Size, 2147483647);
    if (clamped < Filter.SizeFrom || clamped > Filter.SizeTo)
        return false;
    const uint32_t lower = uint32_t(Filter.DateFrom) << 16;
    const uint32_t upper = (uint32_t(Filter.DateTo) << 16) + 0xC000;
    return DateTime >= lower && DateTime <= upper;
}

std::wstring StoredFileName(const std::wstring& StoredName)
{
    const size_t slash = LastSeparator(StoredName);
    return slash == std::wstring::npos ? StoredName : StoredName.substr(slash + 1);
}

std::wstring StoredPath(const std::wstring& StoredName)
{
    const size_t slash = LastSeparator(StoredName);
    if (slash == std::wstring::npos)
        return {};
    std::wstring path = StoredName.substr(0, slash + 1);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ShortExtension(const std::wstring& Name)
{
    const std::wstring ext = ExtractFileExt(Name);
    return ext.empty() ? ext : UpperCase(std::wstring_view(ext).substr(1, 5));
}

void TZipItems::Fill(std::shared_ptr<const TArchiveEntryView> View, const TZipFilter& Filter)
{
    Clear();
    view_ = std::move(View);
    if (!view_)
        return;
    const int count = view_->Count();
    items_.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const TArchiveEntry entry = view_->Entry(i);
        std::wstring name = StoredFileName(entry.StoredName);
        if (name.empty() || entry.IsDirectory)
            continue;
        if (!PassesZipFilter(name, entry.Size, entry.DateTime, Filter))
            continue;
        TZipItem item;
        item.Index = i;
        item.Ext = ShortExtension(name);
        item.Name = std::move(name);
        item.Path = StoredPath(entry.StoredName);
        item.Size = entry.Size;
        totalSize_ += entry.Size;
        items_.push_back(std::move(item));
    }
}

void TZipItems::Clear()
{
    items_.clear();
    view_.reset();
    selCount_ = 0;
    selSize_ = 0;
    totalSize_ = 0;
}

TArchiveEntry TZipItems::EntryOf(const TZipItem& Item) const
{
    if (!view_ || Item.Index < 0 || Item.Index >= view_->Count())
        return {};
    return view_->Entry(Item.Index);
}

void TZipItems::SetSelected(int Index, bool Selected)
{
    TZipItem& item = (*this)[Index];
    if (item.Selected == Selected)
        return;
    item.Selected = Selected;
    if (Selected) {
        ++selCount_;
        selSize_ += item.Size;
    } else {
        --selCount_;
        selSize_ -= item.Size;
    }
}

void TZipItems::ClearSelection()
{
    for (TZipItem& item : items_)
        item.Selected = false;
    selCount_ = 0;
    selSize_ = 0;
}

int TZipItems::FindByPrefix(const std::wstring& Text, int Start, bool Wrap) const
{
    const int count = Count();
    if (count == 0)
        return -1;
    const std::wstring prefix = UpperCase(Text);
    const auto matches = [&](int i) {
        const std::wstring& name = items_[static_cast<size_t>(i)].Name;
        return name.size() >= prefix.size() && UpperCase(std::wstring_view(name).substr(0, prefix.size())) == prefix;
    };
    Start = std::clamp(Start, 0, count - 1);
    for (int i = Start; i < count; ++i)
        if (matches(i))
            return i;
    if (Wrap)
        for (int i = 0; i < Start; ++i)
            if (matches(i))
                return i;
    return -1;
}

}  // namespace qrv
