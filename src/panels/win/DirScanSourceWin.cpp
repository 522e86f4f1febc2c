#include "panels/win/DirScanSourceWin.h"

#include "framework/win/Handles.h"
#include "panels/win/KyDriveInfo.h"

namespace qrv {

TDirListingEnd TWinDirScanSource::List(const std::wstring& Folder, const TEachEntry& Each)
{
    // On whichever thread of the count lists it, an empty drive or a lost
    // share fails quietly instead of asking.
    TQuietDriveErrors quiet;
    const std::wstring pattern = LongPathForm(Folder + L"*.*");
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return TDirListingEnd::NotOpened;
    do {
        const TDirScanEntry entry{data.cFileName, data.dwFileAttributes,
                                  uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow};
        if (!Each(entry))
            return TDirListingEnd::Failed;
    } while (FindNextFileW(find.Get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES ? TDirListingEnd::Complete : TDirListingEnd::Failed;
}

}  // namespace qrv
