#include "framework/win/ControlItems.h"

#include "framework/SysUtils.h"

namespace qrv {

void TControlItems::CheckIndex(int index, bool allowEnd) const
{
    const int limit = allowEnd ? Count() : Count() - 1;
    if (index < 0 || index > limit)
        throw EStringListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
}

const std::wstring& TControlItems::Get(int index) const
{
    CheckIndex(index);
    return items_[index].text;
}

void* TControlItems::GetObject(int index) const
{
    CheckIndex(index);
    return items_[index].object;
}

void TControlItems::InsertItem(int index, const std::wstring& text, bool hasWindow, int& chosen)
{
    CheckIndex(index, true);
    items_.insert(items_.begin() + index, Item{text, nullptr});
    if (!hasWindow && chosen >= index)
        ++chosen;
}

void TControlItems::DeleteItem(int index, bool hasWindow, int& chosen)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    if (hasWindow)
        return;
    if (chosen == index)
        chosen = -1;
    else if (chosen > index)
        --chosen;
}

}  // namespace qrv
