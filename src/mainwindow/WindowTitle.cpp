#include "mainwindow/WindowTitle.h"

namespace qrv {

std::wstring BuildWindowTitle(const std::optional<std::wstring>& Folder, const std::wstring& Mask,
                              const std::wstring& TitleBase)
{
    if (!Folder)
        return TitleBase;
    std::wstring title = *Folder;
    // An empty mask is the list's "*.*": it filters nothing.
    if (!Mask.empty() && Mask != L"*.*")
        title += L"  (" + Mask + L")";
    return title + L" - " + TitleBase;
}

}  // namespace qrv
