#include "common/win/ShellItemCopy.h"

#include "common/win/PIDL.h"
#include "framework/IgnoredError.h"

namespace qrv {

TShellDataPtr ShellItemsDataObject(IShellFolder& Folder, const std::vector<TPidlBytes>& Items, HWND Owner)
{
    std::vector<PCUITEMID_CHILD> children;
    for (const TPidlBytes& item : Items) {
        if (GetPidlSize(item.data(), item.size()) <= 2)
            return nullptr;
        children.push_back(reinterpret_cast<PCUITEMID_CHILD>(item.data()));
    }
    if (children.empty())
        return nullptr;
    TShellDataPtr data;
    const HRESULT made = Folder.GetUIObjectOf(Owner, static_cast<UINT>(children.size()), children.data(),
                                              IID_IDataObject, nullptr, reinterpret_cast<void**>(data.GetAddressOf()));
    if (FAILED(made)) {
        TraceIgnoredFailure(L"the shell folder gave no data object for its items", static_cast<unsigned long>(made));
        return nullptr;
    }
    return data;
}

TShellDropTargetPtr FolderDropTarget(const std::wstring& Folder, HWND Owner)
{
    const TPidlPtr location = PathToPidl(Folder);
    TShellFolderPtr folder;
    if (!location || !BindToFolder(location.get(), folder) || !folder)
        return nullptr;
    TShellDropTargetPtr target;
    const HRESULT made =
        folder->CreateViewObject(Owner, IID_IDropTarget, reinterpret_cast<void**>(target.GetAddressOf()));
    if (FAILED(made)) {
        TraceIgnoredFailure(L"the folder has no drop target", static_cast<unsigned long>(made));
        return nullptr;
    }
    return target;
}

bool DropShellData(IDropTarget& Target, IDataObject& Data, TDropEffect Effect)
{
    const DWORD wanted = Effect == deMove ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    const DWORD keys = MK_LBUTTON | (Effect == deMove ? MK_SHIFT : MK_CONTROL);
    POINT cursor{};
    GetCursorPos(&cursor);
    const POINTL at{cursor.x, cursor.y};
    DWORD effect = wanted;
    if (FAILED(Target.DragEnter(&Data, keys, at, &effect)) || !(effect & wanted)) {
        Target.DragLeave();
        return false;
    }
    // The button is up now: the drop carries the key alone.
    effect = wanted;
    const HRESULT dropped = Target.Drop(&Data, keys & ~static_cast<DWORD>(MK_LBUTTON), at, &effect);
    if (FAILED(dropped)) {
        TraceIgnoredFailure(L"the folder refused the shell's items", static_cast<unsigned long>(dropped));
        return false;
    }
    return (effect & wanted) != 0;
}

}  // namespace qrv
