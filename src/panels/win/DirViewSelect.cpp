#include "panels/win/DirViewSelect.h"

#include "panels/win/DirView.h"
#include "panels/win/DirViewSystemWin.h"

namespace qrv {

int SelectFilesInList(TDirView& List, const TFileSelectFilter& Filter, bool Select)
{
    TWinDirSystem system;
    const bool compressionBits = !List.IsVirtual() && !List.FullPathItems() && List.Path().size() >= 2 &&
                                 system.HasCompressionBits(List.GetPath());
    return SelectFiles(List, Filter, Select, compressionBits,
                       [](uint64_t FileTime) { return FileTimeToLocalDosDateTime(FileTime); });
}

}  // namespace qrv
