#pragma once
// The directory comparison: the files of the active file window against a
// second directory, walked together in one sorted order, and the items that
// meet the chosen condition (equal, different, newer, older or missing). The
// records, the folder lister, the content comparison, the clock and the
// progress display are the caller's, so the walk needs no system. Portable.

#include "dialogs/SelOptRules.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// No list item: a record read from the disk.
constexpr size_t kNoCompareItem = static_cast<size_t>(-1);

struct TCompareRecord {
    std::wstring Name;         // the file name
    std::wstring DisplayName;  // as the list shows it
    std::wstring FullPath;     // for the content comparison
    uint64_t Size = 0;
    uint64_t LastWrite = 0;  // local file time
    uint32_t Attr = 0;
    bool IsDirectory = false;
    bool IsParentDir = false;  // the list's ".." entry
    bool Matched = false;
    size_t Item = kNoCompareItem;  // the index of the list item it came from
};

struct TDirCompareHost {
    // The entries of a folder ("." and ".." and volume labels left out).
    std::function<std::vector<TCompareRecord>(const std::wstring& Folder)> ListFolder;
    // A TCompareResult (mainwindow/FileCompare.h) for two full paths.
    std::function<uint8_t(const std::wstring& A, const std::wstring& B)> CompareContents;
    // Milliseconds of a steady clock.
    std::function<uint64_t()> NowMs;
    // The progress (0 to 100) and the waiting messages: at most every 200 ms.
    std::function<void(int Position)> ShowProgress;
    // "Vergleiche "a" mit "b"" before a content comparison.
    std::function<void(const std::wstring& Label)> ShowLabel;
    // True when the user stopped the comparison (or the window closes).
    std::function<bool()> Aborted;

    // The content comparisons on worker threads instead of CompareContents:
    // a TCompareResult for two full paths that is safe on any thread,
    // handles no messages and returns crAborted soon after Stop is set (it
    // tests it per block). Workers of them run at once, at least one; the
    // calling thread meanwhile shows the progress and the labels, handles
    // the messages and asks Aborted, all about every kWaitIntervalMs.
    std::function<uint8_t(const std::wstring& A, const std::wstring& B, const std::atomic<bool>& Stop)> CompareOnWorker;
    unsigned Workers = 0;
    std::function<void()> ProcessMessages;
};

struct TDirCompareInput {
    TDirCompareOptions Options;
    std::vector<TCompareRecord> Active;
    // The compare window's records when it shows the compare directory;
    // otherwise the directory is read through the host.
    std::optional<std::vector<TCompareRecord>> CompareList;
    std::wstring CompareDir;
    // Whether items of the compare window are selected too.
    bool CompareWindowShown = false;
};

enum class TDirCompareStatus : uint8_t { Done, Aborted };

struct TDirCompareResult {
    TDirCompareStatus Status = TDirCompareStatus::Done;
    // The items to select (TCompareRecord::Item), each once, in list order.
    std::vector<size_t> ActiveItems;
    std::vector<size_t> CompareItems;
    // Active files whose content could not be read for the comparison.
    unsigned Unreadable = 0;
};

// The walk's time rules.
constexpr uint64_t kProgressIntervalMs = 200;
constexpr uint64_t kLabelIntervalMs = 100;
constexpr uint64_t kLabelAlwaysAboveBytes = 1048576;
// How often the calling thread looks up while the workers compare.
constexpr uint64_t kWaitIntervalMs = 10;

// The workers for the content comparisons: one per processor, four at most
// (more only queue up at the disk).
unsigned DirCompareWorkerCount();

TDirCompareResult RunDirCompare(TDirCompareInput Input, const TDirCompareHost& Host);

// The records' order, which is also the order the walk matches them in.
// Negative, zero or positive.
int CompareRecordKeys(const TCompareRecord& A, const TCompareRecord& B, const TDirCompareOptions& Options);

// "Obere", "Linke", "Untere", "Rechte" or "Angezeigte".
std::wstring PaneWordFor(bool SecondWindowShown, bool Stacked, bool IsActiveList);

// The summary box's text: Active and Compare are the numbers of items
// selected in each window; the words are PaneWordFor of each list.
std::wstring DirCompareSummary(const TDirCompareOptions& Options, unsigned Active, unsigned Compare,
                               bool CompareWindowShown, const std::wstring& ActiveWord, const std::wstring& CompareWord,
                               unsigned Unreadable);

// Fills the first "%s" or "%u" of the pattern, one after the other.
std::wstring FormatCompareText(std::wstring Pattern, const std::vector<std::wstring>& Values);

}  // namespace qrv
