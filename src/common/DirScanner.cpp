#include "common/DirScanner.h"

#include "common/BaseUtils.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace qrv {

namespace {

// Lists one folder into Totals (its files, sizes and reparse points) and
// Found (its subfolders to enter, with their backslash); false when the
// listing broke off or was stopped.
bool CountFolder(const std::wstring& Folder, TDirScanSource& Source, const std::function<bool()>& Stopped,
                 TDirTotals& Totals, std::vector<std::wstring>& Found)
{
    bool stopped = false;
    const TDirListingEnd end = Source.List(Folder, [&](const TDirScanEntry& entry) {
        if (Stopped()) {
            stopped = true;
            return false;
        }
        if (entry.Name == L"." || entry.Name == L"..")
            return true;
        Totals.Size += entry.Size;
        if (!(entry.Attributes & kDirScanAttrDirectory))
            ++Totals.Files;
        else if (entry.Attributes & kDirScanAttrReparsePoint)
            ++Totals.Folders;
        else
            Found.push_back(Folder + std::wstring(entry.Name) + L'\\');
        return true;
    });
    if (stopped || end == TDirListingEnd::Failed)
        return false;
    Totals.Folders += Found.size();
    return true;
}

}  // namespace

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
        if (!CountFolder(folder, Source, Stopped, totals, found))
            return std::nullopt;
        // Reversed onto the stack, so the first subfolder found is listed next.
        for (auto sub = found.rbegin(); sub != found.rend(); ++sub)
            pending.push_back(std::move(*sub));
    }
    return totals;
}

std::optional<TDirTotals> ScanDirTreeInParallel(const std::wstring& Root, TDirScanSource& Source,
                                                const std::function<bool()>& Stopped, unsigned Threads)
{
    if (Threads <= 1)
        return ScanDirTree(Root, Source, Stopped);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> pending{AddBackslash(Root)};
    size_t listing = 0;  // folders being listed now
    bool failed = false;
    TDirTotals totals;
    const auto work = [&] {
        // Each thread counts for itself and adds its sums once at the end.
        TDirTotals own;
        std::vector<std::wstring> found;
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return failed || !pending.empty() || listing == 0; });
            if (failed || pending.empty())
                break;  // stopped, or nothing left and nobody listing
            std::wstring folder = std::move(pending.back());
            pending.pop_back();
            ++listing;
            lock.unlock();
            found.clear();
            const bool counted = !Stopped() && CountFolder(folder, Source, Stopped, own, found);
            lock.lock();
            --listing;
            if (!counted)
                failed = true;
            for (auto sub = found.rbegin(); sub != found.rend(); ++sub)
                pending.push_back(std::move(*sub));
            changed.notify_all();
        }
        totals.Files += own.Files;
        totals.Folders += own.Folders;
        totals.Size += own.Size;
    };
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < Threads; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failed)
        return std::nullopt;
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
