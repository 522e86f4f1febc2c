#pragma once
// The system's folder listing that the folder counts (common/DirScanner.h)
// walk over: the directory panel's count and the lists' folder sizes.

#include "common/DirScanner.h"

namespace qrv {

// FindFirstFileExW/FindNextFileW over one folder, basic information in large
// fetches; long paths in the "\\?\" form. An empty drive or a lost share
// fails quietly on the listing thread instead of asking.
class TWinDirScanSource : public TDirScanSource {
public:
    TDirListingEnd List(const std::wstring& Folder, const TEachEntry& Each) override;
};

}  // namespace qrv
