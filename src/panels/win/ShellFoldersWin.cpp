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

namespace {

// The entries of Folder, whose own identifier list is Location (for the
// icons; may be null).
bool ListEntries(IShellFolder& Folder, PCIDLIST_ABSOLUTE Location, const TDirShellFolders::TEntryProc& Each)
{
    IEnumIDList* rawEnum = nullptr;
    const HRESULT listed =
        Folder.EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &rawEnum);
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
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
        PCUITEMID_CHILD children[] = {child.get()};
        if (FAILED(Folder.GetAttributesOf(1, children, &attributes)))
            attributes = 0;
        entry.Folder = (attributes & SFGAO_FOLDER) != 0;
        entry.FileSystem = (attributes & SFGAO_FILESYSTEM) != 0;
        entry.FileSystemAncestor = (attributes & SFGAO_FILESYSANCESTOR) != 0;
        entry.ParsingName = NameOf(Folder, child.get(), SHGDN_FORPARSING);
        if (const int size = GetPidlSize(child.get()); size > 0) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(child.get());
            entry.ItemId.assign(bytes, bytes + size);
        }
        entry.DisplayName =
            NameOf(Folder, child.get(), entry.FileSystem ? SHGDN_INFOLDER | SHGDN_FORADDRESSBAR : SHGDN_INFOLDER);
        if (entry.DisplayName.empty() && entry.ParsingName.empty())
            continue;
        if (Location) {
            const TPidl absolute(ILCombine(Location, child.get()));
            SHFILEINFOW info{};
            if (absolute && SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.get()), 0, &info, sizeof info,
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

// The absolute identifier list of a bound folder, where it says.
TPidl LocationOf(IShellFolder& Folder)
{
    IPersistFolder2* persist = nullptr;
    if (FAILED(Folder.QueryInterface(IID_IPersistFolder2, reinterpret_cast<void**>(&persist))) || !persist)
        return nullptr;
    const TComPtr<IPersistFolder2> held(persist);
    ITEMIDLIST* location = nullptr;
    if (FAILED(held->GetCurFolder(&location)))
        return nullptr;
    return TPidl(location);
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
    return ListEntries(*folder, bin.get(), Each);
}

bool TWinShellFolders::ListShellFolder(const std::shared_ptr<void>& Folder, const TEntryProc& Each)
{
    auto* folder = static_cast<IShellFolder*>(Folder.get());
    if (!folder)
        return false;
    const TPidl location = LocationOf(*folder);
    return ListEntries(*folder, location.get(), Each);
}

TWinShellFolders& WinShellFolders()
{
    static TWinShellFolders folders;
    return folders;
}

}  // namespace qrv
