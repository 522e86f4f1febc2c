#pragma once
// Copying items the shell knows but the file system does not (no path):
// their folder's own data object handed to the target folder's drop target,
// as a drop with the copy (or move) key would be. The shell then does the
// work; no file operation of ours sees the items' shown names.

#include "common/DropFilesBlock.h"
#include "common/PIDL.h"
#include "framework/win/WinApi.h"

#include <wrl/client.h>

#include <string>
#include <vector>

namespace qrv {

using TShellDataPtr = Microsoft::WRL::ComPtr<IDataObject>;
using TShellDropTargetPtr = Microsoft::WRL::ComPtr<IDropTarget>;

// The data object of Items (identifiers relative to Folder); nil when there
// are none or the folder refuses.
TShellDataPtr ShellItemsDataObject(IShellFolder& Folder, const std::vector<TPidlBytes>& Items, HWND Owner);

// The folder's own drop target (the folder bound and asked for its view's
// target); nil when the path is no folder the shell knows.
TShellDropTargetPtr FolderDropTarget(const std::wstring& Folder, HWND Owner);

// Drops Data onto Target as a drag with the left button and the key of
// Effect (deCopy: Strg, deMove: Umschalt) ends. False when the target
// refuses the effect (it is left then) or the drop fails.
bool DropShellData(IDropTarget& Target, IDataObject& Data, TDropEffect Effect);

}  // namespace qrv
