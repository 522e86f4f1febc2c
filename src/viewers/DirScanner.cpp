#include "viewers/DirScanner.h"

#include "common/BaseUtils.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace qrv {

std::optional<TDirTotals> ScanDirTree(const std::wstring& Root, TDirScanSource& Source,
                                      const std::function<bool()>& Stopped)
{
    TDirTotals totals;
    // The folders still to list; the next one at the back.
    std::vector<std::wstring> pending{AddBackslash(Root)};
    std::vector<std::wstring> found;
    while (!pending.empty()) {
        if (Stopped())
            return std::nullopt;
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        found.clear();
        bool stopped = false;
        const TDirListingEnd end = Source.List(folder, [&](const TDirScanEntry& entry) {
            if (Stopped()) {
                stopped = true;
                return false;
            }
            if (entry.Name == L"." || entry.Name == L"..")
                return true;
            totals.Size += entry.Size;
            if (!(entry.Attributes & kDirScanAttrDirectory))
                ++totals.Files;
            else if (entry.Attributes & kDirScanAttrReparsePoint)
                ++totals.Folders;
            else
                found.push_back(folder + std::wstring(entry.Name) + L'\\');
            return true;
        });
        if (stopped || end == TDirListingEnd::Failed)
            return std::nullopt;
        totals.Folders += found.size();
        // Reversed onto the stack, so the first subfolder found is listed next.
        for (auto sub = found.rbegin(); sub != found.rend(); ++sub)
            pending.push_back(std::move(*sub));
    }
    return totals;
}

TDirTotalsTexts FormatDirTotals(const TDirTotals& Totals, std::wstring_view ThousandSeparator)
{
    // The abbreviated form works on a signed size; no file system holds 8 EiB.
    const auto size = static_cast<int64_t>(std::min<uint64_t>(Totals.Size, std::numeric_limits<int64_t>::max()));
    TDirTotalsTexts texts;
    texts.Files = FormatThousandsU(Totals.Files, ThousandSeparator);
    texts.Folders = FormatThousandsU(Totals.Folders, ThousandSeparator);
    texts.Size = FormatSizeText(size, true, ThousandSeparator) + L"  (" +
                 FormatThousandsU(Totals.Size, ThousandSeparator) + L" Bytes)";
    return texts;
}

std::wstring LongPathForm(const std::wstring& Path)
{
    if (Path.size() < kMaxPlainPath || Path.starts_with(L"\\\\?\\"))
        return Path;
    if (Path.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + Path.substr(2);
    return L"\\\\?\\" + Path;
}

}  // namespace qrv
