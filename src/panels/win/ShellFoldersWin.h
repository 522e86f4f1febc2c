#pragma once
// The shell's folders for the directory list: the recycle bin through the
// shell's namespace.

#include "panels/DirViewSystem.h"

namespace qrv {

class TWinShellFolders : public TDirShellFolders {
public:
    bool ListRecycleBin(const TEntryProc& Each) override;
    // Folder holds an IShellFolder.
    bool ListShellFolder(const std::shared_ptr<void>& Folder, const TEntryProc& Each) override;
};

// The one instance the lists share.
TWinShellFolders& WinShellFolders();

}  // namespace qrv
