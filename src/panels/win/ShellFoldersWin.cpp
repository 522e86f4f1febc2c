#include "panels/win/ShellFoldersWin.h"

#include "framework/IgnoredError.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <memory>

namespace qrv {

namespace {

struct TPidlFree {
    void operator()(ITEMIDLIST* Pidl) const { CoTaskMemFree(Pidl); }
};
using TPidl = std::unique_ptr<ITEMIDLIST, TPidlFree>;

struct TRelease {
    void operator()(IUnknown* Object) const { Object->Release(); }
};
template <class T>
using TComPtr = std::unique_ptr<T, TRelease>;

std::wstring NameOf(IShellFolder& Folder, PCUITEMID_CHILD Child, SHGDNF Kind)
{
    STRRET name{};
    if (FAILED(Folder.GetDisplayNameOf(Child, Kind, &name)))
        return {};
    wchar_t buffer[MAX_PATH * 2] = L"";
    if (FAILED(StrRetToBufW(&name, Child, buffer, static_cast<UINT>(std::size(buffer)))))
        return {};
    return buffer;
}

}  // namespace

bool TWinShellFolders::ListRecycleBin(const TEntryProc& Each)
{
    ITEMIDLIST* location = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &location)) || !location)
        return false;
    const TPidl bin(location);
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)) || !rawDesktop)
        return false;
    const TComPtr<IShellFolder> desktop(rawDesktop);
    IShellFolder* rawFolder = nullptr;
    if (FAILED(desktop->BindToObject(bin.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&rawFolder))) ||
        !rawFolder)
        return false;
    const TComPtr<IShellFolder> folder(rawFolder);
    IEnumIDList* rawEnum = nullptr;
    const HRESULT listed =
        folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &rawEnum);
    // S_FALSE: nothing to list.
    if (listed != S_OK || !rawEnum)
        return SUCCEEDED(listed);
    const TComPtr<IEnumIDList> entries(rawEnum);
    ITEMIDLIST* rawChild = nullptr;
    ULONG fetched = 0;
    while (entries->Next(1, &rawChild, &fetched) == S_OK && rawChild) {
        const TPidl child(rawChild);
        TShellFolderEntry entry;
        // A failing entry is left out; the listing goes on.
        SFGAOF attributes = SFGAO_FOLDER;
        PCUITEMID_CHILD children[] = {child.get()};
        if (FAILED(folder->GetAttributesOf(1, children, &attributes)))
            attributes = 0;
        entry.Folder = (attributes & SFGAO_FOLDER) != 0;
        entry.ParsingName = NameOf(*folder, child.get(), SHGDN_FORPARSING);
        entry.DisplayName = NameOf(*folder, child.get(), SHGDN_INFOLDER);
        if (entry.DisplayName.empty())
            continue;
        const TPidl absolute(ILCombine(bin.get(), child.get()));
        if (absolute) {
            SHFILEINFOW info{};
            if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.get()), 0, &info, sizeof info,
                               SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME)) {
                entry.IconIndex = info.iIcon;
                entry.TypeName = info.szTypeName;
            }
        }
        if (!Each(entry))
            break;
    }
    return true;
}

TWinShellFolders& WinShellFolders()
{
    static TWinShellFolders folders;
    return folders;
}

}  // namespace qrv
