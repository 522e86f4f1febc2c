#pragma once
// Item identifier lists with the shell: the process-wide shell allocator all
// lists are allocated and freed through, the byte operations of common/PIDL.h
// on shell lists, paths and names to lists and back, and binding a list to
// its shell folder. Lists returned as TPidlPtr are owned by the receiver.

#include "common/PIDL.h"
#include "framework/win/WinApi.h"

#include <memory>
#include <string>
#include <wrl/client.h>

namespace qrv {

using TShellFolderPtr = Microsoft::WRL::ComPtr<IShellFolder>;

// The shell's allocator (SHGetMalloc), obtained once and kept for the life of
// the process; nil when the shell has none.
IMalloc* ShellMalloc();
// ShellMalloc as the allocator of the byte operations.
TPidlAllocator& ShellPidlAllocator();

// Frees through the shell allocator; nil is ignored.
void FreePidl(LPITEMIDLIST Pidl);
// Sets Pidl to nil and frees the list it held.
void FreeAndNilPidl(LPITEMIDLIST& Pidl);

struct TPidlFree {
    void operator()(ITEMIDLIST* Pidl) const { FreePidl(Pidl); }
};
using TPidlPtr = std::unique_ptr<ITEMIDLIST, TPidlFree>;

// The byte operations for shell lists (see common/PIDL.h for the rules).
TPidlPtr AllocPidl(size_t Size);
TPidlPtr CopyPidl(LPCITEMIDLIST Pidl, size_t Available = kPidlUnbounded);
TPidlPtr ConcatPidls(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void SplitPidl(LPCITEMIDLIST Pidl, TPidlPtr& Parent, TPidlPtr& Last);
TPidlPtr CopyFirstPidlItem(LPCITEMIDLIST Pidl);
TPidlPtr CopyLastPidlItem(LPCITEMIDLIST Pidl);
LPCITEMIDLIST NextPidlItem(LPCITEMIDLIST Pidl);
LPCITEMIDLIST NextPidlItemOrNil(LPCITEMIDLIST Pidl);

// A list kept as bytes, seen as a shell list (nil when empty); valid while
// the bytes are.
inline LPCITEMIDLIST AsPidl(const TPidlBytes& Bytes)
{
    return Bytes.empty() ? nullptr : reinterpret_cast<LPCITEMIDLIST>(Bytes.data());
}
// A shell list of the bytes; nil for an empty or malformed one.
TPidlPtr PidlFromBytes(const TPidlBytes& Bytes);

// The desktop folder; throws EOleSysError when the shell cannot give it.
TShellFolderPtr DesktopFolder();

// Asks Folder (the desktop when nil) for the display name of Pidl with the
// SHGDN_ Flags and writes at most MaxLen characters (terminator included)
// into Buffer, whichever form the shell answers in. False when the folder
// refuses or the answer cannot be read.
[[nodiscard]] bool GetDisplayNameOfItem(IShellFolder* Folder, LPCITEMIDLIST Pidl, DWORD Flags, UINT MaxLen,
                                        wchar_t* Buffer);
// The same into a string.
[[nodiscard]] bool GetDisplayNameOfStr(IShellFolder* Folder, LPCITEMIDLIST Pidl, DWORD Flags, std::wstring& Name);

// The absolute list of a file-system path through the desktop's parser; nil
// on failure.
TPidlPtr PathToPidl(const std::wstring& Path);
// The file-system path of an absolute list; empty for nil, for objects
// without a path and on failure.
std::wstring PidlToPath(LPCITEMIDLIST Pidl);
// Binds Pidl to its shell folder through the desktop; Folder is the desktop
// for the empty list. False (Folder unchanged) when the bind fails.
[[nodiscard]] bool BindToFolder(LPCITEMIDLIST Pidl, TShellFolderPtr& Folder);
// The list of Name relative to Folder through that folder's parser; nil on
// failure.
TPidlPtr ParseNameInFolder(IShellFolder* Folder, const std::wstring& Name);

}  // namespace qrv
