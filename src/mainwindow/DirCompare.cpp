#include "mainwindow/DirCompare.h"

#include "common/TextPlaces.h"
#include "framework/SysUtils.h"
#include "mainwindow/FileCompare.h"

#include <algorithm>

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

class TWalk {
public:
    TWalk(TDirCompareInput& Input, const TDirCompareHost& Host)
        : in_(Input), host_(Host), o_(Input.Options), a_(Input.Active), b_(*Input.CompareList)
    {}

    TDirCompareResult Run()
    {
        lastProgress_ = lastLabel_ = Now();
        size_t i = 0;
        size_t j = 0;
        while (i < a_.size() && j < b_.size()) {
            if (!Step(i, j))
                return Aborted();
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
            for (size_t x = i; x < groupA; ++x) {
                bool unreadable = false;
                bool compared = false;
                for (size_t y = j; y < groupB; ++y) {
                    const uint8_t r = Pair(a_[x], b_[y]);
                    if (r == crAborted)
                        return Aborted();
                    if (r == crEqual || r == crDifferent)
                        compared = true;
                    else if (r != kSkipped)
                        unreadable = true;
                    if (!Step(x, y))
                        return Aborted();
                }
                if (unreadable && !compared)
                    ++result_.Unreadable;
            }
            i = groupA;
            j = groupB;
        }
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
    static constexpr uint8_t kSkipped = 0xFF;

    uint64_t Now() const { return host_.NowMs ? host_.NowMs() : 0; }

    TDirCompareResult Aborted()
    {
        TDirCompareResult aborted;
        aborted.Status = TDirCompareStatus::Aborted;
        return aborted;
    }

    // The progress at most every 200 ms; false when the user stopped.
    bool Step(size_t i, size_t j)
    {
        const uint64_t now = Now();
        if (now - lastProgress_ >= kProgressIntervalMs) {
            lastProgress_ = now;
            const size_t total = a_.size() + b_.size();
            if (host_.ShowProgress && total > 0)
                host_.ShowProgress(static_cast<int>((i + j) * 100 / total));
        }
        return !(host_.Aborted && host_.Aborted());
    }

    uint8_t Contents(const TCompareRecord& a, const TCompareRecord& b)
    {
        const uint64_t now = Now();
        if (host_.ShowLabel && (now - lastLabel_ > kLabelIntervalMs || a.Size + b.Size > kLabelAlwaysAboveBytes)) {
            lastLabel_ = now;
            host_.ShowLabel(FormatCompareText(L"Vergleiche \"%s\" mit \"%s\"", {a.DisplayName, b.DisplayName}));
        }
        return host_.CompareContents ? host_.CompareContents(a.FullPath, b.FullPath) : crOpenFailedA;
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

    // One pair of records with equal keys: a TCompareResult of the content
    // comparison, or kSkipped when none was needed.
    uint8_t Pair(TCompareRecord& a, TCompareRecord& b)
    {
        const bool files = !a.IsDirectory && !b.IsDirectory;
        if (o_.Select == S::Equal) {
            // A file is no duplicate of itself: records of one name are
            // skipped (by file name: the list may show names shortened).
            if (o_.Duplicates && SameText(a.Name, b.Name))
                return kSkipped;
            uint8_t r = kSkipped;
            if (o_.ByContent && files) {
                r = Contents(a, b);
                if (r != crEqual)
                    return r;
            }
            a.Matched = b.Matched = true;
            SelectBoth(a, b);
            return r;
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
            return kSkipped;
        case S::Different: {
            if (!files)
                return kSkipped;
            if (o_.BySize && a.Size != b.Size) {
                SelectBoth(a, b);
                return crDifferent;
            }
            if (!o_.ByContent)
                return kSkipped;
            const uint8_t r = Contents(a, b);
            if (r == crDifferent)
                SelectBoth(a, b);
            return r;
        }
        default:
            return kSkipped;
        }
    }

    TDirCompareInput& in_;
    const TDirCompareHost& host_;
    const TDirCompareOptions& o_;
    std::vector<TCompareRecord>& a_;
    std::vector<TCompareRecord>& b_;
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
