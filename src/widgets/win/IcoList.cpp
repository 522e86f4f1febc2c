#include "widgets/win/IcoList.h"

#include <algorithm>
#include <stdexcept>

namespace qrv {

namespace {
HICON Copied(HICON icon)
{
    return icon ? CopyIcon(icon) : nullptr;
}

// An icon of our own (not the system's shared one), freed with its handle.
TIconHandle LoadedIcon(HINSTANCE instance, const wchar_t* name)
{
    return TIconHandle(static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}
}  // namespace

void TIconList::Changed()
{
    if (updates_ == 0 && OnChange)
        OnChange(nullptr);
}

void TIconList::EndUpdate()
{
    if (updates_ > 0 && --updates_ == 0)
        Changed();
}

void TIconList::SetIcons(int index, HICON icon)
{
    if (index == Count()) {
        Add(icon);
        return;
    }
    icons_.at(static_cast<size_t>(index)).Reset(Copied(icon));
    Changed();
}

int TIconList::Add(HICON icon)
{
    icons_.emplace_back(Copied(icon));
    Changed();
    return Count() - 1;
}

int TIconList::AddResource(HINSTANCE instance, const wchar_t* name)
{
    const TIconHandle loaded = LoadedIcon(instance, name);
    return Add(loaded.Get());
}

void TIconList::Insert(int index, HICON icon)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("icon list index");
    icons_.emplace(icons_.begin() + index, Copied(icon));
    Changed();
}

void TIconList::InsertResource(int index, HINSTANCE instance, const wchar_t* name)
{
    const TIconHandle loaded = LoadedIcon(instance, name);
    Insert(index, loaded.Get());
}

void TIconList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("icon list index");
    icons_.erase(icons_.begin() + index);
    Changed();
}

void TIconList::Clear()
{
    icons_.clear();
    Changed();
}

void TIconList::Exchange(int a, int b)
{
    std::swap(icons_.at(static_cast<size_t>(a)), icons_.at(static_cast<size_t>(b)));
    Changed();
}

void TIconList::Move(int from, int to)
{
    if (from == to)
        return;
    TIconHandle moving = std::move(icons_.at(static_cast<size_t>(from)));
    icons_.erase(icons_.begin() + from);
    icons_.insert(icons_.begin() + std::clamp(to, 0, Count()), std::move(moving));
    Changed();
}

int TIconList::IndexOf(HICON icon) const
{
    for (int i = 0; i < Count(); ++i)
        if (icons_[static_cast<size_t>(i)].Get() == icon)
            return i;
    return -1;
}

void TIconList::Assign(const TIconList& other)
{
    if (&other == this)
        return;
    BeginUpdate();
    icons_.clear();
    for (const TIconHandle& icon : other.icons_)
        icons_.emplace_back(Copied(icon.Get()));
    EndUpdate();
}

}  // namespace qrv
