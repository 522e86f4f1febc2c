#include "mainwindow/FolderHistory.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "mainwindow/ActionRules.h"
#include "mainwindow/FileToolRules.h"

#include <algorithm>

namespace qrv {

namespace {

// Clears the navigation flag however the opening ends.
class TNavigatingScope {
public:
    explicit TNavigatingScope(bool& Flag) : flag_(Flag) { flag_ = true; }
    ~TNavigatingScope() { flag_ = false; }
    TNavigatingScope(const TNavigatingScope&) = delete;
    TNavigatingScope& operator=(const TNavigatingScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool SameFolderPath(const std::wstring& A, const std::wstring& B)
{
    return SameText(RemoveBackslashes(A), RemoveBackslashes(B));
}

int TFolderHistory::IndexOf(const std::wstring& Path) const
{
    for (size_t i = 0; i < Entries.size(); ++i)
        if (SameText(Entries[i], Path))
            return static_cast<int>(i);
    return -1;
}

void TFolderHistory::Record(const std::wstring& Path)
{
    if (Path.empty() || SameFolderPath(Recorded, Path))
        return;
    Recorded = Path;
    Text = Path;
    if (!Navigating) {
        const int found = IndexOf(Path);
        if (found >= 0 && found < Position) {
            Position = found;
        } else {
            Entries.insert(Entries.begin(), Path);
            Position = 0;
        }
    }
    // The same folder further down is an older visit of it.
    for (size_t i = Entries.size(); i-- > static_cast<size_t>(std::max(Position, -1) + 1);)
        if (SameText(Entries[i], Path))
            Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(i));
    if (Limit > 0 && Entries.size() > Limit)
        Entries.resize(Limit);
    if (Position >= static_cast<int>(Entries.size()))
        Position = static_cast<int>(Entries.size()) - 1;
}

bool TFolderHistory::OpenChosen(const std::wstring& ListPath, const TOpenFolder& Open, TStep Direction)
{
    TNavigatingScope navigating(Navigating);
    while (Position >= 0 && Position < static_cast<int>(Entries.size())) {
        const std::wstring entry = Entries[static_cast<size_t>(Position)];
        Text = entry;
        if (SameFolderPath(entry, ListPath))
            return true;
        const std::wstring before = Recorded;
        // Set first: the list may load the folder only after the navigation.
        Recorded = entry;
        if (Open(entry))
            return true;
        Recorded = before;
        Entries.erase(Entries.begin() + Position);
        if (Direction == TStep::Newer)
            --Position;
        else if (Direction == TStep::Chosen)
            Position = std::min(Position, static_cast<int>(Entries.size()) - 1);
    }
    Restore(ListPath);
    return false;
}

bool TFolderHistory::CanGoBack() const
{
    return Position < static_cast<int>(Entries.size()) - 1;
}

bool TFolderHistory::CanGoForward() const
{
    return Position > 0 && !Entries.empty();
}

bool TFolderHistory::Back(const std::wstring& ListPath, const TOpenFolder& Open)
{
    if (!CanGoBack())
        return false;
    ++Position;
    return OpenChosen(ListPath, Open, TStep::Older);
}

bool TFolderHistory::Forward(const std::wstring& ListPath, const TOpenFolder& Open)
{
    if (!CanGoForward())
        return false;
    Position = std::min(Position, static_cast<int>(Entries.size())) - 1;
    return OpenChosen(ListPath, Open, TStep::Newer);
}

void TFolderHistory::DropDown(const std::wstring& ListPath)
{
    Position = IndexOf(ListPath);
    if (Position >= 0)
        Text = Entries[static_cast<size_t>(Position)];
}

void TFolderHistory::Restore(const std::wstring& ListPath)
{
    Text = ListPath;
    Position = IndexOf(ListPath);
}

std::wstring TFolderHistory::EnteredPath(const std::wstring& ListPath) const
{
    return Trim(Text).empty() ? ListPath : Text;
}

bool TFolderHistory::ExitWantsNavigation(const std::wstring& ListPath)
{
    if (Trim(Text).empty()) {
        Text = ListPath;
        return false;
    }
    return !SameFolderPath(Text, ListPath);
}

void TFolderHistory::FolderRenamed(const std::wstring& OldPath, const std::wstring& NewPath)
{
    const auto follow = [&](std::wstring& Path) {
        if (const auto moved = RenamedViewerFile(Path, OldPath, NewPath))
            Path = *moved;
    };
    follow(Text);
    follow(Recorded);
    for (std::wstring& entry : Entries)
        follow(entry);
    for (size_t i = 1; i < Entries.size();) {
        const auto newer = std::find_if(Entries.begin(), Entries.begin() + static_cast<std::ptrdiff_t>(i),
                                        [&](const std::wstring& Entry) { return SameText(Entry, Entries[i]); });
        if (newer == Entries.begin() + static_cast<std::ptrdiff_t>(i)) {
            ++i;
            continue;
        }
        const int index = static_cast<int>(i);
        if (Position == index)
            Position = static_cast<int>(newer - Entries.begin());
        else if (Position > index)
            --Position;
        Entries.erase(Entries.begin() + index);
    }
}

std::wstring TFolderHistory::PreviousEntry() const
{
    if (!CanGoBack() || Position < -1)
        return {};
    return Entries[static_cast<size_t>(Position + 1)];
}

std::wstring TFolderHistory::NextEntry() const
{
    if (Position <= 0 || Position > static_cast<int>(Entries.size()))
        return {};
    return Entries[static_cast<size_t>(Position - 1)];
}

THistoryHints HistoryHints(const TFolderHistory& History)
{
    return {PreviousHistoryHint(History.PreviousEntry()), NextHistoryHint(History.NextEntry())};
}

}  // namespace qrv
