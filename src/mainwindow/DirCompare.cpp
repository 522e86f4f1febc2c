#include "mainwindow/DirCompare.h"

#include "common/TextPlaces.h"
#include "framework/SysUtils.h"
#include "mainwindow/FileCompare.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace qrv {

namespace {

using S = TCompareSelect;

template <class T>
int Order(const T& A, const T& B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

void KeepComparedRecords(std::vector<TCompareRecord>& Records, bool SubDirs)
{
    std::erase_if(Records, [SubDirs](const TCompareRecord& r) { return r.IsParentDir || (r.IsDirectory && !SubDirs); });
}

void SortRecords(std::vector<TCompareRecord>& Records, const TDirCompareOptions& Options)
{
    const bool byTime = Options.Select == S::Equal && Options.Duplicates;
    std::stable_sort(Records.begin(), Records.end(), [&](const TCompareRecord& a, const TCompareRecord& b) {
        const int c = CompareRecordKeys(a, b, Options);
        if (c != 0)
            return c < 0;
        return byTime && a.LastWrite < b.LastWrite;
    });
}

// Selected items, each once, in the lists' order.
std::vector<size_t> ItemsOf(std::vector<size_t> Items)
{
    std::erase(Items, kNoCompareItem);
    std::sort(Items.begin(), Items.end());
    Items.erase(std::unique(Items.begin(), Items.end()), Items.end());
    return Items;
}

// A content comparison the walk needs: the records' indexes in the sorted
// lists and, once compared, its TCompareResult.
struct TContentJob {
    size_t A = 0;
    size_t B = 0;
    uint8_t Result = crBusy;
};

// The walk in three steps: the sorted lists are matched and every decision
// that needs no content is taken; the content comparisons this leaves run
// one after the other or on the workers; their results are applied in the
// order the matching found them, so both ways select alike.
class TWalk {
public:
    TWalk(TDirCompareInput& Input, const TDirCompareHost& Host)
        : in_(Input), host_(Host), o_(Input.Options), a_(Input.Active), b_(*Input.CompareList),
          tally_(Input.Active.size(), 0)
    {}

    TDirCompareResult Run()
    {
        lastProgress_ = lastLabel_ = Now();
        if (!Match())
            return Aborted();
        const bool compared = host_.CompareOnWorker ? CompareOnWorkers() : CompareHere();
        if (!compared)
            return Aborted();
        for (const TContentJob& job : jobs_)
            Apply(job);
        for (const uint8_t t : tally_)
            if ((t & kUnreadable) && !(t & kCompared))
                ++result_.Unreadable;
        if (o_.Select == S::Missing) {
            for (const TCompareRecord& r : a_)
                if (!r.Matched)
                    result_.ActiveItems.push_back(r.Item);
            if (in_.CompareWindowShown)
                for (const TCompareRecord& r : b_)
                    if (!r.Matched)
                        result_.CompareItems.push_back(r.Item);
        }
        result_.ActiveItems = ItemsOf(std::move(result_.ActiveItems));
        result_.CompareItems = ItemsOf(std::move(result_.CompareItems));
        return result_;
    }

private:
    // What the pairs of an active record came to.
    static constexpr uint8_t kCompared = 1;    // equal or different
    static constexpr uint8_t kUnreadable = 2;  // a content comparison failed

    uint64_t Now() const { return host_.NowMs ? host_.NowMs() : 0; }

    TDirCompareResult Aborted()
    {
        TDirCompareResult aborted;
        aborted.Status = TDirCompareStatus::Aborted;
        return aborted;
    }

    // Matches the sorted lists; false when the user stopped. With contents
    // the time goes to the comparisons, which show the progress then.
    bool Match()
    {
        const bool progress = !o_.ByContent;
        size_t i = 0;
        size_t j = 0;
        while (i < a_.size() && j < b_.size()) {
            if (!Step(i, j, progress))
                return false;
            const int c = CompareRecordKeys(a_[i], b_[j], o_);
            if (c > 0) {
                ++j;
                continue;
            }
            if (c < 0) {
                ++i;
                continue;
            }
            // Every active record of the group meets every record of it.
            size_t groupA = i + 1;
            while (groupA < a_.size() && CompareRecordKeys(a_[groupA], b_[j], o_) == 0)
                ++groupA;
            size_t groupB = j + 1;
            while (groupB < b_.size() && CompareRecordKeys(a_[i], b_[groupB], o_) == 0)
                ++groupB;
            for (size_t x = i; x < groupA; ++x)
                for (size_t y = j; y < groupB; ++y) {
                    Pair(x, y);
                    if (!Step(x, y, progress))
                        return false;
                }
            i = groupA;
            j = groupB;
        }
        return true;
    }

    // The progress at most every 200 ms; false when the user stopped.
    bool Step(size_t i, size_t j, bool progress = true)
    {
        if (progress)
            ShowProgress(i, j);
        return !(host_.Aborted && host_.Aborted());
    }

    void ShowProgress(size_t i, size_t j)
    {
        const uint64_t now = Now();
        if (now - lastProgress_ >= kProgressIntervalMs) {
            lastProgress_ = now;
            const size_t total = a_.size() + b_.size();
            if (host_.ShowProgress && total > 0)
                host_.ShowProgress(static_cast<int>((i + j) * 100 / total));
        }
    }

    // "Vergleiche ..." for a comparison about to run: at most every 100 ms,
    // but always for a large pair.
    void ShowLabel(const TContentJob& job)
    {
        const TCompareRecord& a = a_[job.A];
        const TCompareRecord& b = b_[job.B];
        const uint64_t now = Now();
        if (host_.ShowLabel && (now - lastLabel_ > kLabelIntervalMs || a.Size + b.Size > kLabelAlwaysAboveBytes)) {
            lastLabel_ = now;
            host_.ShowLabel(FormatCompareText(L"Vergleiche \"%s\" mit \"%s\"", {a.DisplayName, b.DisplayName}));
        }
    }

    // The comparisons one after the other on this thread.
    bool CompareHere()
    {
        for (TContentJob& job : jobs_) {
            if (!Step(job.A, job.B))
                return false;
            ShowLabel(job);
            job.Result = host_.CompareContents ? host_.CompareContents(a_[job.A].FullPath, b_[job.B].FullPath)
                                               : uint8_t{crOpenFailedA};
            if (job.Result == crAborted)
                return false;
        }
        return true;
    }

    // The comparisons on the workers, each taking the next job, while this
    // thread looks up every few milliseconds. The workers are stopped and
    // joined on every way out; a failure of one is raised here.
    bool CompareOnWorkers()
    {
        if (jobs_.empty())
            return true;
        std::atomic<bool> stop{false};
        std::atomic<size_t> next{0};
        std::mutex mutex;
        std::condition_variable finished;
        size_t working = 0;
        std::exception_ptr failure;
        const auto work = [&] {
            try {
                while (!stop.load()) {
                    const size_t k = next.fetch_add(1);
                    if (k >= jobs_.size())
                        break;
                    TContentJob& job = jobs_[k];
                    job.Result = host_.CompareOnWorker(a_[job.A].FullPath, b_[job.B].FullPath, stop);
                    if (job.Result == crAborted)
                        stop = true;
                }
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure)
                    failure = std::current_exception();
                stop = true;
            }
            const std::lock_guard lock(mutex);
            --working;
            finished.notify_all();
        };
        std::vector<std::thread> threads;
        const ScopeExit joined([&] {
            stop = true;
            for (std::thread& t : threads)
                t.join();
        });
        const size_t count = std::min<size_t>(std::max(host_.Workers, 1u), jobs_.size());
        threads.reserve(count);
        for (size_t t = 0; t < count; ++t) {
            {
                const std::lock_guard lock(mutex);
                ++working;
            }
            try {
                threads.emplace_back(work);
            } catch (const std::system_error&) {
                {
                    const std::lock_guard lock(mutex);
                    --working;
                }
                // The workers there are share the jobs.
                if (threads.empty())
                    throw;
                TraceIgnoredException(L"starting a worker of the directory comparison");
                break;
            }
        }
        size_t labelled = 0;  // jobs taken at the last label
        for (;;) {
            {
                std::unique_lock lock(mutex);
                if (finished.wait_for(lock, std::chrono::milliseconds(kWaitIntervalMs), [&] { return working == 0; }))
                    break;
            }
            // The latest job a worker took.
            if (const size_t taken = std::min(next.load(), jobs_.size()); taken > 0) {
                const TContentJob& latest = jobs_[taken - 1];
                if (taken != labelled) {
                    labelled = taken;
                    ShowLabel(latest);
                }
                ShowProgress(latest.A, latest.B);
            }
            if (host_.ProcessMessages)
                host_.ProcessMessages();
            if (host_.Aborted && host_.Aborted())
                stop = true;
        }
        for (std::thread& t : threads)
            t.join();
        threads.clear();
        if (failure)
            std::rethrow_exception(failure);
        return !stop.load();
    }

    void SelectBoth(const TCompareRecord& a, const TCompareRecord& b)
    {
        result_.ActiveItems.push_back(a.Item);
        SelectPartner(b);
    }

    void SelectPartner(const TCompareRecord& b)
    {
        if (in_.CompareWindowShown)
            result_.CompareItems.push_back(b.Item);
    }

    // One pair of records with equal keys: decided at once, or left to a
    // content comparison.
    void Pair(size_t x, size_t y)
    {
        TCompareRecord& a = a_[x];
        TCompareRecord& b = b_[y];
        const bool files = !a.IsDirectory && !b.IsDirectory;
        if (o_.Select == S::Equal) {
            // A file is no duplicate of itself: records of one name are
            // skipped (by file name: the list may show names shortened).
            if (o_.Duplicates && SameText(a.Name, b.Name))
                return;
            if (o_.ByContent && files) {
                jobs_.push_back({x, y});
                return;
            }
            a.Matched = b.Matched = true;
            SelectBoth(a, b);
            return;
        }
        a.Matched = b.Matched = true;
        switch (o_.Select) {
        case S::Newer:
        case S::Older:
            if (a.LastWrite != b.LastWrite) {
                const bool activeNewer = a.LastWrite > b.LastWrite;
                if (activeNewer == (o_.Select == S::Newer))
                    result_.ActiveItems.push_back(a.Item);
                else
                    SelectPartner(b);
            }
            return;
        case S::Different:
            if (!files)
                return;
            if (o_.BySize && a.Size != b.Size) {
                SelectBoth(a, b);
                tally_[x] |= kCompared;
                return;
            }
            if (o_.ByContent)
                jobs_.push_back({x, y});
            return;
        default:
            return;
        }
    }

    // The result of a content comparison for its pair.
    void Apply(const TContentJob& job)
    {
        TCompareRecord& a = a_[job.A];
        TCompareRecord& b = b_[job.B];
        const bool equal = job.Result == crEqual;
        tally_[job.A] |= equal || job.Result == crDifferent ? kCompared : kUnreadable;
        if (o_.Select == S::Equal && equal) {
            a.Matched = b.Matched = true;
            SelectBoth(a, b);
        } else if (o_.Select == S::Different && job.Result == crDifferent) {
            SelectBoth(a, b);
        }
    }

    TDirCompareInput& in_;
    const TDirCompareHost& host_;
    const TDirCompareOptions& o_;
    std::vector<TCompareRecord>& a_;
    std::vector<TCompareRecord>& b_;
    std::vector<uint8_t> tally_;  // per active record: kCompared, kUnreadable
    std::vector<TContentJob> jobs_;
    TDirCompareResult result_;
    uint64_t lastProgress_ = 0;
    uint64_t lastLabel_ = 0;
};

}  // namespace

int CompareRecordKeys(const TCompareRecord& A, const TCompareRecord& B, const TDirCompareOptions& Options)
{
    // Only equal files may pair without their names, and only they pair by
    // size: a different file is one of the same name.
    const bool byName = Options.ByName || Options.Select != S::Equal;
    if (byName)
        if (const int c = CompareText(A.Name, B.Name))
            return c;
    if (Options.BySize && Options.Select == S::Equal && !A.IsDirectory && !B.IsDirectory)
        if (const int c = Order(A.Size, B.Size))
            return c;
    return Order(A.IsDirectory, B.IsDirectory);
}

unsigned DirCompareWorkerCount()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

TDirCompareResult RunDirCompare(TDirCompareInput Input, const TDirCompareHost& Host)
{
    TDirCompareOptions& o = Input.Options;
    // Times decide newer and older; contents do not take part.
    if (o.Select == S::Newer || o.Select == S::Older)
        o.ByContent = false;
    if (!Input.CompareList)
        Input.CompareList = Host.ListFolder ? Host.ListFolder(Input.CompareDir) : std::vector<TCompareRecord>{};
    KeepComparedRecords(Input.Active, o.SubDirs);
    KeepComparedRecords(*Input.CompareList, o.SubDirs);
    SortRecords(Input.Active, o);
    SortRecords(*Input.CompareList, o);
    return TWalk(Input, Host).Run();
}

std::wstring PaneWordFor(bool SecondWindowShown, bool Stacked, bool IsActiveList)
{
    if (!SecondWindowShown)
        return L"Angezeigte";
    if (IsActiveList)
        return Stacked ? L"Obere" : L"Linke";
    return Stacked ? L"Untere" : L"Rechte";
}

std::wstring FormatCompareText(std::wstring Pattern, const std::vector<std::wstring>& Values)
{
    return FillPlaces(std::move(Pattern), Values);
}

std::wstring DirCompareSummary(const TDirCompareOptions& Options, unsigned Active, unsigned Compare,
                               bool CompareWindowShown, const std::wstring& ActiveWord, const std::wstring& CompareWord,
                               unsigned Unreadable)
{
    const auto n = [](unsigned v) { return std::to_wstring(v); };
    std::wstring text;
    const auto line = [&](const wchar_t* pattern, unsigned count, const std::wstring& word) {
        if (!text.empty())
            text += L"\n\n";
        text += FormatCompareText(pattern, {n(count), word});
    };
    switch (Options.Select) {
    case S::Equal:
        line(Options.Duplicates ? L"%u doppelte Dateien gefunden."
                                : L"%u Dateien sind in beiden Dateifenstern identisch.",
             Active, L"");
        break;
    case S::Different:
    case S::Newer:
    case S::Older: {
        const wchar_t* pattern = Options.Select == S::Different
                                     ? L"%u Dateien sind im %sn Dateifenster unterschiedlich."
                                 : Options.Select == S::Newer ? L"%u Dateien sind im %sn Dateifenster jünger."
                                                              : L"%u Dateien sind im %sn Dateifenster älter.";
        line(pattern, Active, ActiveWord);
        if (CompareWindowShown)
            line(pattern, Compare, CompareWord);
        break;
    }
    case S::Missing:
        line(L"%u Dateien des %sn Dateifenster sind im Vergleichsverzeichnis nicht vorhanden.", Active, ActiveWord);
        if (CompareWindowShown)
            line(L"%u Dateien des Vergleichsverzeichnis sind im %sn Dateifenster nicht vorhanden.", Compare,
                 ActiveWord);
        break;
    }
    if (Unreadable > 0)
        line(L"%u Dateien konnten nicht verglichen werden.", Unreadable, L"");
    return text;
}

}  // namespace qrv
