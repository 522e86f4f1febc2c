#include "panels/NewItemName.h"

#include "common/BaseUtils.h"

namespace qrv {

std::wstring NewItemName(const std::wstring& Folder, bool Directory, uint32_t MaxNameLength,
                         const std::function<bool(const std::wstring& FullPath)>& Exists)
{
    const bool shortNames = MaxNameLength < (Directory ? 22u : 15u);
    const std::wstring base = shortNames ? L"NEU" : (Directory ? L"Neues Verzeichnis" : L"Neue Datei");
    const std::wstring separator = shortNames ? L"" : L" ";
    const std::wstring folder = AddBackslash(Folder);
    std::wstring name = base;
    // A folder that answers "exists" for every name must not hang the command.
    constexpr int kMaxCounter = 100000;
    for (int n = 1; Exists(folder + name); ++n) {
        if (n > kMaxCounter) {
            return std::wstring();
        }
        name = base + separator + L"(" + std::to_wstring(n) + L")";
    }
    return name;
}

}  // namespace qrv
