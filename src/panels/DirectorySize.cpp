#include "panels/DirectorySize.h"

#include "panels/DirViewSystem.h"
#include "panels/FileRec.h"

#include <vector>

namespace qrv {

uint64_t GetDirectorySize(TDirFileSystem& FileSystem, const std::wstring& Path, bool HideHiddenDirs,
                          const std::function<bool()>& Cancelled)
{
    uint64_t total = 0;
    std::vector<std::wstring> pending{Path};
    while (!pending.empty()) {
        if (Cancelled && Cancelled())
            return 0;
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        const uint32_t error = FileSystem.ListFolder(folder, [&](TSearchRec& Entry) {
            if (Entry.Name == L"." || Entry.Name == L"..")
                return true;
            if (!(Entry.Attr & faDirectory)) {
                total += Entry.Size;
            } else if (!(Entry.Attr & kReparsePointAttr) && !(HideHiddenDirs && (Entry.Attr & faHidden))) {
                pending.push_back(folder + L'\\' + Entry.Name);
            }
            return true;
        });
        // An empty root reports "not found"; anything else means the walk failed.
        if (error != 0 && error != kErrorFileNotFound)
            return 0;
    }
    return total;
}

}  // namespace qrv
