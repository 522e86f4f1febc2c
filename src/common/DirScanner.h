#pragma once
// The count behind the directory panel: files, folders and bytes below a
// folder, gathered over a listing interface so that the walk itself needs no
// system. The walk is iterative (its own stack of folders), so a tree of any
// depth is counted without growing the thread's stack.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The attribute bits the count looks at (the system's values).
constexpr uint32_t kDirScanAttrDirectory = 0x10;
constexpr uint32_t kDirScanAttrReparsePoint = 0x400;

// One entry of a folder listing.
struct TDirScanEntry {
    std::wstring_view Name;
    uint32_t Attributes = 0;
    uint64_t Size = 0;
};

// How a folder listing ended.
enum class TDirListingEnd {
    Complete,   // ran out of entries (the system's no-more-files)
    Failed,     // broke off with any other error, or was stopped by the caller
    NotOpened,  // could not be started (no access, gone)
};

// Lists the entries of a folder, "." and ".." included where the system has
// them. Each gets one entry at a time and returns false to stop the listing.
class TDirScanSource {
public:
    using TEachEntry = std::function<bool(const TDirScanEntry& Entry)>;
    virtual ~TDirScanSource() = default;
    // Folder ends with a backslash.
    virtual TDirListingEnd List(const std::wstring& Folder, const TEachEntry& Each) = 0;
};

struct TDirTotals {
    uint64_t Files = 0;
    uint64_t Folders = 0;
    uint64_t Size = 0;
    bool operator==(const TDirTotals&) const = default;
};

// Counts everything below Root (with or without a trailing backslash).
// Folders are listed depth first, each folder's subfolders in the order its
// listing gave them. Every entry's size is added; a folder counts as a
// folder and is entered, except a reparse point (junction, symbolic link),
// which counts as a folder and is not entered, so that a link can neither
// loop nor count another tree. A folder whose listing cannot start counts
// as empty. No result when a listing breaks off with an error or when
// Stopped, asked before every folder and at every entry, says true.
std::optional<TDirTotals> ScanDirTree(const std::wstring& Root, TDirScanSource& Source,
                                      const std::function<bool()>& Stopped);
// The same totals, the folders listed by Threads threads at once (this one
// among them); Source and Stopped are called on all of them. The order in
// which folders are listed is open.
std::optional<TDirTotals> ScanDirTreeInParallel(const std::wstring& Root, TDirScanSource& Source,
                                                const std::function<bool()>& Stopped, unsigned Threads);

// The texts of the panel's three count rows.
struct TDirTotalsTexts {
    std::wstring Files;    // "1.234"
    std::wstring Folders;  // "56"
    std::wstring Size;     // "5.120 MB  (5.368.709.126 Bytes)"
};
TDirTotalsTexts FormatDirTotals(const TDirTotals& Totals, std::wstring_view ThousandSeparator);

// The longest path the plain form of a file name may have (the system's
// MAX_PATH, terminating zero included).
constexpr size_t kMaxPlainPath = 260;
// Path in the "\\?\" form ("\\?\UNC\server\share\..." for a network path)
// when it is too long for the plain form; otherwise, or when it already is
// in that form, unchanged.
std::wstring LongPathForm(const std::wstring& Path);

}  // namespace qrv
