#include "archives/ArchiveOperations.h"

#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qrv {

std::vector<std::wstring> ExtractSpecs(bool IsZip, bool EverySelected, bool FilterHidesNone,
                                       const std::vector<std::wstring>& SelectedNames)
{
    if (IsZip && EverySelected && FilterHidesNone && !SelectedNames.empty())
        return {L"*.*"};
    return SelectedNames;
}

int MeantFileCount(const std::vector<std::wstring>& Specs, int ArchiveFileCount)
{
    if (Specs.size() == 1 && Specs.front() == L"*.*")
        return ArchiveFileCount;
    return static_cast<int>(Specs.size());
}

bool ZipRunSucceeded(int Meant, int SuccessCount, int CrcErrors, int ErrCode)
{
    return Meant > 0 && SuccessCount >= Meant && CrcErrors == 0 && ErrCode == 0;
}

std::wstring ZipMessageText(int ErrCode, const std::wstring& Message)
{
    if (ErrCode == 0)
        return Message;
    return Message + L" / ErrorCode = " + std::to_wstring(static_cast<unsigned>(ErrCode));
}

std::wstring FileReportText(TFileReport Kind, bool Succeeded, const std::wstring& Name)
{
    if (Kind == TFileReport::Tested)
        return (Succeeded ? L"Getestet: " : L"Testen fehlgeschlagen: ") + Name;
    return (Succeeded ? L"Entpackt: " : L"Entpacken fehlgeschlagen: ") + Name;
}

bool MayReplaceExisting(bool ConfirmOverwrite, std::optional<bool> Answer)
{
    if (!ConfirmOverwrite)
        return true;
    return Answer.value_or(true);
}

size_t CopyNameStart(const std::wstring& Path)
{
    const size_t last = Path.find_last_of(L"\\/");
    return last == std::wstring::npos ? 0 : last + 1;
}

std::vector<size_t> AskWriteBack(std::vector<TWriteBackRecord>& Records,
                                 const std::function<TCopyState(const std::wstring& Path)>& State,
                                 const std::function<TWriteBackAnswer(const std::wstring& FileName)>& Ask,
                                 const std::function<void()>& Beep)
{
    std::vector<size_t> queued;
    for (size_t i = Records.size(); i-- > 0;) {
        const TWriteBackRecord& record = Records[i];
        const TCopyState now = State(record.Path);
        if (!now.Exists || (now.WriteTime == record.WriteTime && now.Size == record.Size))
            continue;
        const TWriteBackAnswer answer = Ask(record.Path.substr(CopyNameStart(record.Path)));
        if (answer == TWriteBackAnswer::Cancel)
            break;
        switch (answer) {
        case TWriteBackAnswer::Yes:
            queued.push_back(i);
            break;
        case TWriteBackAnswer::No:
            // The places queued so far lie after this one: they stay valid.
            Records.erase(Records.begin() + static_cast<std::ptrdiff_t>(i));
            for (size_t& place : queued)
                --place;
            break;
        default:
            if (Beep)
                Beep();
            break;
        }
    }
    return queued;
}

std::wstring WriteBackQuestion(const std::wstring& FileName)
{
    return L"Die extrahierte Datei \"" + FileName +
           L"\" ist geändert worden. Soll diese Änderung in das Archiv übernommen werden?";
}

std::vector<std::wstring> DragOutPaths(const std::wstring& Folder, const std::vector<TDragEntry>& Entries,
                                       bool PreserveDirs)
{
    std::vector<std::wstring> paths;
    for (const TDragEntry& entry : Entries) {
        // A level no extractor writes (".." and the like) is dragged as
        // nothing: the target would be handed a folder outside the drag's.
        std::wstring level;
        if (entry.Path.empty() || !PreserveDirs) {
            level = entry.Name;
        } else {
            const size_t slash = entry.Path.find_first_of(L"\\/");
            level = entry.Path.substr(0, slash);
        }
        if (!IsSafeNameLevel(level))
            continue;
        std::wstring path = Folder + level;
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    }
    return paths;
}

TDroppedPaths SplitDropped(const std::vector<std::wstring>& Paths,
                           const std::function<bool(const std::wstring&)>& IsDirectory)
{
    TDroppedPaths split;
    for (const std::wstring& path : Paths)
        (IsDirectory(path) ? split.Directories : split.Files).push_back(path);
    return split;
}

TAddDirectoriesPlan PlanAddDirectories(const std::vector<std::wstring>& Directories)
{
    TAddDirectoriesPlan plan;
    if (Directories.empty())
        return plan;
    plan.BaseFolder = RemoveBackslash(ExtractFilePath(RemoveBackslash(Directories.front())));
    if (plan.BaseFolder.size() == 2 && plan.BaseFolder[1] == L':')
        plan.BaseFolder += L'\\';
    for (const std::wstring& directory : Directories)
        plan.Specs.push_back(ExtractFileName(RemoveBackslash(directory)) + L"\\*.*");
    return plan;
}

std::wstring ItemPropertiesText(const TItemProperties& Item, const std::wstring& ThousandSeparator)
{
    double ratio = 0;
    if (Item.Size >= 1)
        ratio = (1.0 - static_cast<double>(Item.PackedSize) / static_cast<double>(Item.Size)) * 100.0;
    wchar_t ratioText[32];
    std::swprintf(ratioText, 32, L"%.0f %%", ratio);
    wchar_t crcText[16];
    std::swprintf(crcText, 16, L"%.8x", Item.CRC);
    const std::pair<const wchar_t*, std::wstring> lines[] = {
        {L"Name:         ", Item.Name},
        {L"Pfad:         ", Item.Path},
        {L"Geändert am:", Item.Changed},
        {L"Typ:          ", Item.TypeName},
        {L"Unkomprimiert:", FormatThousandsU(Item.Size, ThousandSeparator) + L" Bytes"},
        {L"Komprimiert:", FormatThousandsU(Item.PackedSize, ThousandSeparator) + L" Bytes"},
        {L"Komprimierung:", ratioText},
        {L"CRC:          ", crcText},
    };
    std::wstring text;
    for (const auto& [label, value] : lines)
        text += std::wstring(label) + L"\t" + value + L"\t\t\n\n";
    return text;
}

std::wstring ExtractDialogCaption(int SelectedCount, const std::wstring& EntryName, const std::wstring& ArchiveName)
{
    if (SelectedCount == 1)
        return L"Datei \"" + EntryName + L"\" extrahieren nach";
    return std::to_wstring(SelectedCount) + L" Dateien aus \"" + ArchiveName + L"\" extrahieren nach";
}

bool IsSetupProgram(const std::wstring& Name)
{
    const std::wstring upper = UpperCase(Name);
    return upper == L"SETUP.EXE" || upper == L"INSTALL.EXE";
}

std::vector<TWriteBackRun> PlanWriteBackRuns(const std::vector<TWriteBackRecord>& Records,
                                             const std::vector<size_t>& Queued)
{
    std::vector<size_t> places = Queued;
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::vector<TWriteBackRun> runs;
    for (size_t place : places) {
        if (place >= Records.size())
            continue;
        const TWriteBackRecord& record = Records[place];
        auto run = std::find_if(runs.begin(), runs.end(), [&](const TWriteBackRun& r) {
            return r.Encrypted == record.Encrypted && (!record.Encrypted || r.Password == record.Password);
        });
        if (run == runs.end()) {
            runs.push_back({});
            run = std::prev(runs.end());
            run->Encrypted = record.Encrypted;
            run->Password = record.Encrypted ? record.Password : std::wstring();
        }
        run->Places.push_back(place);
        run->Paths.push_back(record.Path);
    }
    return runs;
}

bool WriteBackInRuns(std::vector<TWriteBackRecord>& Records, const std::vector<size_t>& Queued,
                     const std::function<std::wstring(const std::wstring& FileName)>& AskPassword,
                     const std::function<bool(const TWriteBackRun& Run)>& Add, std::vector<std::wstring>& Written)
{
    bool allOk = true;
    std::vector<size_t> done;
    for (TWriteBackRun& run : PlanWriteBackRuns(Records, Queued)) {
        // An encrypted entry never goes back in the clear.
        if (run.Encrypted && run.Password.empty()) {
            const std::wstring& first = run.Paths.front();
            run.Password = AskPassword ? AskPassword(first.substr(CopyNameStart(first))) : std::wstring();
            if (run.Password.empty()) {
                allOk = false;
                continue;
            }
        }
        if (Add(run))
            done.insert(done.end(), run.Places.begin(), run.Places.end());
        else
            allOk = false;
    }
    // The records written back go, the last place first.
    std::sort(done.rbegin(), done.rend());
    for (size_t place : done) {
        Written.push_back(Records[place].Path);
        Records.erase(Records.begin() + static_cast<std::ptrdiff_t>(place));
    }
    return allOk;
}

std::vector<size_t> OpenedTogether(const std::vector<TListedEntry>& Entries, size_t Opened)
{
    if (Opened >= Entries.size())
        return {};
    const TListedEntry& opened = Entries[Opened];
    std::vector<size_t> together{Opened};
    if (IsSetupProgram(opened.Name)) {
        for (size_t i = 0; i < Entries.size(); ++i)
            if (i != Opened && Entries[i].Path == opened.Path)
                together.push_back(i);
        return together;
    }
    const size_t dot = opened.Name.rfind(L'.');
    if (dot == std::wstring::npos || UpperCase(opened.Name.substr(dot)) != L".HLP")
        return together;
    const std::wstring contents = UpperCase(opened.Name.substr(0, dot) + L".CNT");
    for (size_t i = 0; i < Entries.size(); ++i)
        if (i != Opened && Entries[i].Path == opened.Path && UpperCase(Entries[i].Name) == contents) {
            together.push_back(i);
            break;
        }
    return together;
}

}  // namespace qrv
