#include "common/win/PIDL.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

namespace qrv {

namespace {

// The shell allocator, taken at first use and given back when the program ends.
class TShellMalloc final : public TPidlAllocator {
public:
    TShellMalloc()
    {
        if (FAILED(SHGetMalloc(&malloc_)))
            malloc_ = nullptr;
    }
    ~TShellMalloc()
    {
        if (malloc_)
            malloc_->Release();
    }
    TShellMalloc(const TShellMalloc&) = delete;
    TShellMalloc& operator=(const TShellMalloc&) = delete;

    IMalloc* Malloc() const { return malloc_; }
    void* Alloc(size_t Size) override { return malloc_ ? malloc_->Alloc(Size) : nullptr; }
    void Free(void* Block) override
    {
        if (malloc_)
            malloc_->Free(Block);
    }

private:
    IMalloc* malloc_ = nullptr;
};

TShellMalloc& ShellMallocInstance()
{
    static TShellMalloc instance;
    return instance;
}

TPidlPtr Adopt(TOwnedPidl Pidl)
{
    return TPidlPtr(static_cast<LPITEMIDLIST>(Pidl.release()));
}

}  // namespace

IMalloc* ShellMalloc()
{
    return ShellMallocInstance().Malloc();
}

TPidlAllocator& ShellPidlAllocator()
{
    return ShellMallocInstance();
}

void FreePidl(LPITEMIDLIST Pidl)
{
    if (Pidl)
        ShellPidlAllocator().Free(Pidl);
}

void FreeAndNilPidl(LPITEMIDLIST& Pidl)
{
    LPITEMIDLIST pidl = Pidl;
    Pidl = nullptr;
    FreePidl(pidl);
}

TPidlPtr AllocPidl(size_t Size)
{
    return Adopt(AllocPidl(ShellPidlAllocator(), Size));
}

TPidlPtr CopyPidl(LPCITEMIDLIST Pidl, size_t Available)
{
    return Adopt(CopyPidl(ShellPidlAllocator(), Pidl, Available));
}

TPidlPtr ConcatPidls(LPCITEMIDLIST First, LPCITEMIDLIST Second)
{
    return Adopt(ConcatPidls(ShellPidlAllocator(), First, Second));
}

void SplitPidl(LPCITEMIDLIST Pidl, TPidlPtr& Parent, TPidlPtr& Last)
{
    TOwnedPidl parent, last;
    SplitPidl(ShellPidlAllocator(), Pidl, parent, last);
    Parent = Adopt(std::move(parent));
    Last = Adopt(std::move(last));
}

TPidlPtr CopyFirstPidlItem(LPCITEMIDLIST Pidl)
{
    return Adopt(CopyFirstPidlItem(ShellPidlAllocator(), Pidl));
}

TPidlPtr CopyLastPidlItem(LPCITEMIDLIST Pidl)
{
    return Adopt(CopyLastPidlItem(ShellPidlAllocator(), Pidl));
}

LPCITEMIDLIST NextPidlItem(LPCITEMIDLIST Pidl)
{
    return static_cast<LPCITEMIDLIST>(NextPidlItem(static_cast<const void*>(Pidl)));
}

LPCITEMIDLIST NextPidlItemOrNil(LPCITEMIDLIST Pidl)
{
    return static_cast<LPCITEMIDLIST>(NextPidlItemOrNil(static_cast<const void*>(Pidl)));
}

TPidlPtr PidlFromBytes(const TPidlBytes& Bytes)
{
    return CopyPidl(AsPidl(Bytes), Bytes.size());
}

TShellFolderPtr DesktopFolder()
{
    TShellFolderPtr desktop;
    const HRESULT result = SHGetDesktopFolder(&desktop);
    if (FAILED(result) || !desktop)
        throw EOleSysError(SysErrorMessage(static_cast<DWORD>(result)), result);
    return desktop;
}

bool GetDisplayNameOfItem(IShellFolder* Folder, LPCITEMIDLIST Pidl, DWORD Flags, UINT MaxLen, wchar_t* Buffer)
{
    if (!Pidl || !Buffer || MaxLen == 0)
        return false;
    TShellFolderPtr desktop;
    if (!Folder) {
        try {
            desktop = DesktopFolder();
        } catch (const Exception&) {
            TraceIgnoredException(L"binding the desktop folder");
            return false;
        }
        Folder = desktop.Get();
    }
    STRRET name{};
    if (FAILED(Folder->GetDisplayNameOf(Pidl, Flags, &name)))
        return false;
    // StrRetToBufW reads all three forms and frees the shell's wide string.
    return SUCCEEDED(StrRetToBufW(&name, Pidl, Buffer, MaxLen));
}

bool GetDisplayNameOfStr(IShellFolder* Folder, LPCITEMIDLIST Pidl, DWORD Flags, std::wstring& Name)
{
    // Long enough for the parsing name of a deep path.
    constexpr UINT kMaxName = 1024;
    std::wstring buffer(kMaxName, L'\0');
    if (!GetDisplayNameOfItem(Folder, Pidl, Flags, kMaxName, buffer.data()))
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), kMaxName));
    Name = std::move(buffer);
    return true;
}

TPidlPtr PathToPidl(const std::wstring& Path)
{
    return ParseNameInFolder(nullptr, Path);
}

std::wstring PidlToPath(LPCITEMIDLIST Pidl)
{
    if (!Pidl)
        return {};
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(Pidl, path))
        return {};
    return path;
}

bool BindToFolder(LPCITEMIDLIST Pidl, TShellFolderPtr& Folder)
{
    if (!Pidl)
        return false;
    try {
        TShellFolderPtr desktop = DesktopFolder();
        if (PidlItemCount(Pidl) == 0) {
            Folder = desktop;
            return true;
        }
        TShellFolderPtr folder;
        if (FAILED(desktop->BindToObject(Pidl, nullptr, IID_PPV_ARGS(&folder))) || !folder)
            return false;
        Folder = folder;
        return true;
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a shell item's attributes");
        return false;
    }
}

TPidlPtr ParseNameInFolder(IShellFolder* Folder, const std::wstring& Name)
{
    TShellFolderPtr desktop;
    if (!Folder) {
        try {
            desktop = DesktopFolder();
        } catch (const Exception&) {
            TraceIgnoredException(L"binding the desktop folder");
            return nullptr;
        }
        Folder = desktop.Get();
    }
    // The parser takes a writable buffer.
    std::wstring name = Name;
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(Folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &pidl, nullptr)))
        return nullptr;
    return TPidlPtr(pidl);
}

}  // namespace qrv
