#include "panels/DropRules.h"

#include "common/BaseUtils.h"
#include "common/DragDropRules.h"
#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cwctype>
#include <set>

namespace qrv {

namespace {

bool IsSeparator(wchar_t C)
{
    return C == L'\\' || C == L'/';
}

// "\\server\share" of a network path, upper-cased; empty for others.
std::wstring NetworkShare(const std::wstring& Path)
{
    if (Path.size() < 3 || !IsSeparator(Path[0]) || !IsSeparator(Path[1]))
        return {};
    size_t end = 2;
    int parts = 0;
    while (end < Path.size()) {
        if (IsSeparator(Path[end]) && ++parts == 2)
            break;
        ++end;
    }
    return UpperCase(Path.substr(0, end));
}

bool ShiftOrControl(uint32_t Keys)
{
    return (Keys & (dkShift | dkControl)) != 0;
}

// Move when allowed, else copy when allowed, else what was there.
uint32_t MoveOrCopy(bool Move, uint32_t SourceEffects, uint32_t Otherwise)
{
    if (Move && (SourceEffects & deMove))
        return deMove;
    if (!Move && (SourceEffects & deCopy))
        return deCopy;
    return Otherwise;
}

bool IsDeviceName(const std::wstring& Name)
{
    std::wstring base = UpperCase(Name.substr(0, Name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    static const std::set<std::wstring> kDevices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (kDevices.count(base))
        return true;
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'1' &&
           base[3] <= L'9';
}

// "a.txt" with n 2: "a(2).txt"; a name without extension gets it at the end.
std::wstring Numbered(const std::wstring& Name, unsigned N)
{
    const size_t dot = Name.rfind(L'.');
    const size_t at = dot == std::wstring::npos || dot == 0 ? Name.size() : dot;
    return Name.substr(0, at) + L'(' + std::to_wstring(N) + L')' + Name.substr(at);
}

constexpr unsigned kNameLimit = 10000;

}  // namespace

wchar_t DriveLetterOf(const std::wstring& Path)
{
    if (Path.size() >= 2 && Path[1] == L':' && std::iswalpha(Path[0]))
        return static_cast<wchar_t>(std::towupper(Path[0]));
    return 0;
}

bool OnSameDrive(const std::wstring& A, const std::wstring& B)
{
    if (const wchar_t a = DriveLetterOf(A); a != 0)
        return a == DriveLetterOf(B);
    const std::wstring share = NetworkShare(A);
    return !share.empty() && share == NetworkShare(B);
}

// ---- The effect over a target --------------------------------------------------------

uint32_t TreeDropEffect(const TTreeDropQuery& Query)
{
    const uint32_t proposed = Query.Proposed & kDropEffectsAll;
    if ((Query.IntoDraggedFolder || Query.OntoOwnParent) && proposed != deLink)
        return deNone;
    if (Query.RecycleBin && Query.RecycleBinRefused)
        return deNone;
    if (Query.NotFileSystem)
        return deNone;
    if (Query.RecycleBin)
        return (Query.SourceEffects & deMove) ? deMove : deNone;
    if (Query.FileContents)
        return deCopy;
    if (!ShiftOrControl(Query.Keys)) {
        if (Query.LinkOnExe && Query.DrivesLinkable && (Query.SourceEffects & deLink))
            return deLink;
        if (proposed == deCopy && Query.SameDrive && (Query.SourceEffects & deMove))
            return deMove;
    }
    return proposed;
}

uint32_t ListDropEffect(const TListDropQuery& Query)
{
    const uint32_t proposed = Query.Proposed & kDropEffectsAll;
    if (Query.IntoDraggedFolder && proposed != deLink)
        return deNone;
    if (Query.RecycleBinView || Query.OnRecycleBinItem)
        return (Query.SourceEffects & deMove) ? deMove : deNone;
    if (ShiftOrControl(Query.Keys) || proposed == deNone)
        return proposed;
    if (Query.LinkProposed && Query.DrivesLinkable && (Query.SourceEffects & deLink))
        return deLink;
    return MoveOrCopy(Query.SameDrive, Query.SourceEffects, proposed);
}

uint32_t TreeOptionEffect(const TOptionDropQuery& Query)
{
    if (!Query.HasTarget)
        return deNone;
    if (Query.Effect == deNone || Query.Effect == deLink || Query.FileContents || ShiftOrControl(Query.Keys) ||
        Query.TargetRefuses)
        return Query.Effect;
    const bool move = Query.Option == ddoMove || (Query.Option != ddoCopy && Query.SameDrive);
    return MoveOrCopy(move, Query.SourceEffects, Query.Effect);
}

uint32_t ListOptionEffect(const TOptionDropQuery& Query)
{
    if (Query.Option == ddoMoveOnSameDrive || Query.VirtualFolder || Query.Effect == deLink || Query.FileContents ||
        Query.OwnDragOnBackground || ShiftOrControl(Query.Keys))
        return Query.Effect;
    if (!Query.HasTarget)
        return deNone;
    if (Query.Effect == deNone)
        return Query.Effect;
    return MoveOrCopy(Query.Option == ddoMove, Query.SourceEffects, Query.Effect);
}

// ---- Hover timing --------------------------------------------------------------------

void TTreeDragTimer::Enter(uint32_t Now, bool OwnDrag)
{
    if (!OwnDrag)
        start_ = Now;
    expandTick_ = scrollTick_ = hScrollTick_ = Now;
    scrollCount_ = 0;
    node_ = nullptr;
}

bool TTreeDragTimer::ExpandDue(const void* Node, uint32_t Now)
{
    if (Node != node_) {
        node_ = Node;
        expandTick_ = Now;
        return false;
    }
    if (Now - expandTick_ <= expandDelay_)
        return false;
    expandTick_ = Now;
    return true;
}

TTreeDragTimer::TScroll TTreeDragTimer::VerticalStep(bool AtTopItem, bool NearBottom, uint32_t Now)
{
    if (Now - start_ < kDragScrollStart)
        return TScroll::None;
    if (!AtTopItem && !NearBottom) {
        scrollCount_ = 0;
        return TScroll::None;
    }
    const uint32_t interval = scrollCount_ >= 4 ? kDragScrollFast : kDragScrollSlow;
    if (Now - scrollTick_ < interval)
        return TScroll::None;
    scrollTick_ = Now;
    ++scrollCount_;
    return AtTopItem ? TScroll::Up : TScroll::Down;
}

bool TTreeDragTimer::HorizontalDue(uint32_t Now)
{
    if (Now - hScrollTick_ < kDragScrollSlow)
        return false;
    hScrollTick_ = Now;
    return true;
}

bool TListScrollTimer::StepDue(bool InScrollZone, uint32_t Now)
{
    if (!InScrollZone) {
        count_ = 0;
        return false;
    }
    const uint32_t interval = count_ >= 3 ? kListScrollFast : kListScrollSlow;
    if (Now - last_ < interval)
        return false;
    last_ = Now;
    ++count_;
    return true;
}

// ---- Names -----------------------------------------------------------------------------

std::wstring SafeForeignName(const std::wstring& Name, unsigned Index)
{
    size_t start = 0;
    for (size_t i = 0; i < Name.size(); ++i)
        if (IsSeparator(Name[i]))
            start = i + 1;
    std::wstring name = Name.substr(start);
    for (wchar_t& c : name)
        if (c < 32 || c == 127 || std::wstring_view(L":*?\"<>|").find(c) != std::wstring_view::npos)
            c = L'_';
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    const std::wstring unnamed = L"Datei " + std::to_wstring(Index) + L".dat";
    if (name.empty())
        return unnamed;
    if (IsDeviceName(name))
        name.insert(0, 1, L'_');
    // The one check every name from outside passes before a file is made.
    return IsSafeNameLevel(name) ? name : unnamed;
}

std::vector<std::wstring> PlanDropNames(const std::vector<std::wstring>& Names)
{
    std::vector<std::wstring> planned;
    planned.reserve(Names.size());
    for (size_t i = 0; i < Names.size(); ++i)
        planned.push_back(SafeForeignName(Names[i], static_cast<unsigned>(i)));
    // Every first occurrence is reserved before any repeat is numbered, so
    // that a repeat never takes a name that a later file brings itself.
    std::set<std::wstring> taken;
    std::vector<bool> repeat(planned.size(), false);
    for (size_t i = 0; i < planned.size(); ++i)
        repeat[i] = !taken.insert(UpperCase(planned[i])).second;
    for (size_t i = 0; i < planned.size(); ++i) {
        if (!repeat[i])
            continue;
        for (unsigned n = 1; n < kNameLimit; ++n) {
            const std::wstring candidate = Numbered(planned[i], n);
            if (taken.insert(UpperCase(candidate)).second) {
                planned[i] = candidate;
                break;
            }
        }
    }
    return planned;
}

std::wstring FreeLinkPath(const std::wstring& Folder, const std::wstring& Name, const TNameTaken& Taken)
{
    const std::wstring base = AddBackslash(Folder) + Name;
    if (!Taken(base + L".lnk"))
        return base + L".lnk";
    for (unsigned n = 2; n < kNameLimit; ++n) {
        const std::wstring candidate = base + L" (" + std::to_wstring(n) + L").lnk";
        if (!Taken(candidate))
            return candidate;
    }
    return {};
}

std::wstring LinkNameFor(const std::wstring& Path, const std::wstring& DriveName)
{
    const bool root = Path.size() <= 3 && DriveLetterOf(Path) != 0;
    if (!root)
        return SafeForeignName(ExtractFileName(Path), 0);
    const std::wstring label = DriveName.size() > 3 ? DriveName.substr(3) : std::wstring();
    return SafeForeignName(label + L'(' + DriveLetterOf(Path) + L')', 0);
}

std::wstring DuplicateQuestion(unsigned Count)
{
    return std::to_wstring(Count) + (Count == 1 ? L" Datei" : L" Dateien") + L" duplizieren?";
}

std::vector<std::wstring> DragCountLines(unsigned Files, unsigned Folders)
{
    std::vector<std::wstring> lines;
    if (Files > 0)
        lines.push_back(std::to_wstring(Files) + L" Dateien");
    if (Folders > 0)
        lines.push_back(std::to_wstring(Folders) + L" Verzeichnisse");
    return lines;
}

// ---- Diskette and CD copies ------------------------------------------------------------

bool CheckDisketteDrop(std::vector<std::wstring>& Names, const std::wstring& TargetFolder, const TDropFileSystem& Fs,
                       const TDisketteCheckCalls& Calls)
{
    if (Names.size() == 1)
        if (const auto entry = Fs.Find(Names.front()); entry && entry->Directory)
            return true;
    bool opened = false;
    for (size_t i = Names.size(); i-- > 0;) {
        const std::wstring path = Names[i];
        const auto source = Fs.Find(path);
        const auto target = source && !source->Directory
                                ? Fs.Find(AddBackslash(TargetFolder) + ExtractFileName(RemoveBackslash(path)))
                                : std::nullopt;
        if (target && !target->Directory) {
            if (!opened && Calls.OpenProgress)
                Calls.OpenProgress(Names.size());
            opened = true;
            if (Calls.Reading)
                Calls.Reading(path);
            const TDisketteRead read = Calls.Read ? Calls.Read(path, source->Size) : TDisketteRead::Read;
            if (read == TDisketteRead::Cancelled)
                return false;
            if (read == TDisketteRead::Faulty) {
                if (!Calls.SkipUnreadable || !Calls.SkipUnreadable(path))
                    return false;
                Names.erase(Names.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (Calls.Step)
            Calls.Step();
    }
    return !Names.empty();
}

namespace {

void WalkReadOnly(const std::wstring& Source, const std::wstring& Target, const TDropFileSystem& Fs,
                  std::vector<std::wstring>& Out, int Depth)
{
    const auto source = Fs.Find(Source);
    const auto target = Fs.Find(Target);
    if (!source || !target || source->Directory != target->Directory)
        return;
    if (!source->Directory) {
        if (target->ReadOnly && target->Size == source->Size && target->WriteTime == source->WriteTime)
            Out.push_back(Target);
        return;
    }
    constexpr int kDepthLimit = 256;
    if (Depth < kDepthLimit)
        for (const std::wstring& name : Fs.List(Source))
            WalkReadOnly(AddBackslash(Source) + name, AddBackslash(Target) + name, Fs, Out, Depth + 1);
    // The folder after its contents: a copied folder keeps the CD's flag.
    if (target->ReadOnly && source->ReadOnly)
        Out.push_back(Target);
}

}  // namespace

std::vector<std::wstring> ReadOnlyCopiesToClear(const std::vector<std::wstring>& Sources,
                                                const std::wstring& TargetFolder, const TDropFileSystem& Fs)
{
    std::vector<std::wstring> result;
    for (const std::wstring& source : Sources)
        WalkReadOnly(source, AddBackslash(TargetFolder) + ExtractFileName(source), Fs, result, 0);
    return result;
}

}  // namespace qrv
