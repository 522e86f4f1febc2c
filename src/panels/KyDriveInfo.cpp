#include "panels/KyDriveInfo.h"

#include "common/BaseUtils.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

#include <exception>

namespace qrv {

namespace {

// System icon indices below this are the shell's generic document icons,
// never a drive's own.
constexpr int kFirstDriveIcon = 4;

std::wstring DriveColon(wchar_t Drive)
{
    return {Drive, L':'};
}

}  // namespace

bool HiddenByNoDrives(wchar_t drive, uint32_t noDrives)
{
    const int bit = drive - kFirstDrive;
    return bit >= 0 && bit < 26 && (noDrives & (1u << bit)) != 0;
}

wchar_t ChooseDefaultDrive(const std::function<int(wchar_t drive)>& driveType, uint32_t noDrives)
{
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive)
        if (!HiddenByNoDrives(drive, noDrives) && driveType(drive) == kDriveTypeFixed)
            return drive;
    return L' ';
}

int FallbackImageIndex(int DriveType)
{
    switch (DriveType) {
    case kDriveTypeNoRootDir:
        return 10;
    case kDriveTypeFixed:
        return 8;
    case kDriveTypeRemote:
        return 9;
    case kDriveTypeCDRom:
        return 11;
    case kDriveTypeRamDisk:
        return 12;
    default:
        return 7;
    }
}

wchar_t UpCaseDrive(wchar_t Drive)
{
    return Drive >= L'a' && Drive <= L'z' ? static_cast<wchar_t>(Drive - L'a' + L'A') : Drive;
}

TDriveInfo::TDriveInfo(std::unique_ptr<TDriveProbe> Probe) : probe_(std::move(Probe))
{
    noDrives_ = probe_->NoDrives();
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive) {
        TDriveInfoRec& rec = SlotOf(drive).Rec;
        rec.DriveType = drive > kLastLetter ? kDriveTypeRemote : probe_->DriveType(drive);
    }
    defaultDrive_ = ChooseDefaultDrive([this](wchar_t drive) { return SlotOf(drive).Rec.DriveType; }, noDrives_);

    try {
        TDriveInfoRec network;
        network.DriveType = kDriveTypeRemote;
        if (probe_->NetworkNeighbourhood(network.Pidl, network.DisplayName, network.ImageIndex)) {
            network.Valid = network.Known = network.DriveReady = true;
            network.PrettyName = network.LongPrettyName = network.DisplayName;
            SlotOf(kNetworkDrive).Rec = std::move(network);
        }
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading the network neighbourhood");
        // Without a network neighbourhood the slot stays invalid.
    }
}

TDriveInfo::~TDriveInfo()
{
    probe_->CancelImageIndexFetches();
}

size_t TDriveInfo::SlotIndex(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (drive < kFirstDrive || drive > kLastDrive)
        throw EConvertError(std::wstring(1, Drive) + L" ist kein gültiges Laufwerk.");
    return static_cast<size_t>(drive - kFirstDrive);
}

TDriveInfo::TSlot& TDriveInfo::SlotOf(wchar_t Drive)
{
    return slots_[SlotIndex(Drive)];
}

const TDriveInfo::TSlot& TDriveInfo::SlotOf(wchar_t Drive) const
{
    return slots_[SlotIndex(Drive)];
}

void TDriveInfo::GetData(wchar_t Drive, TDriveInfoRec& Rec) const
{
    Rec = SlotOf(Drive).Rec;
}

bool TDriveInfo::IsValid(wchar_t Drive) const
{
    const wchar_t drive = UpCaseDrive(Drive);
    return drive >= kFirstDrive && drive <= kLastDrive && SlotOf(drive).Rec.Valid;
}

void TDriveInfo::SetValid(wchar_t Drive, bool Value)
{
    SlotOf(Drive).Rec.Valid = Value;
}

int TDriveInfo::GetImageIndex(wchar_t Drive)
{
    TSlot& slot = SlotOf(Drive);
    const wchar_t drive = UpCaseDrive(Drive);
    if (!slot.Rec.Valid)
        return -1;
    if (slot.Rec.ImageIndex < 1) {
        if (slot.Rec.DriveType == kDriveTypeCDRom) {
            // A spinning-up drive must not block the caller: show a fixed
            // drive's icon until the background fetch brings the drive's own.
            int borrowed = -1;
            for (wchar_t other = kFirstDrive; other <= kLastLetter; ++other) {
                const TDriveInfoRec& rec = SlotOf(other).Rec;
                if (rec.DriveType == kDriveTypeFixed && rec.ImageIndex > 0) {
                    borrowed = rec.ImageIndex;
                    break;
                }
            }
            slot.Rec.ImageIndex = borrowed;
            if (!slot.Fetching && !slot.FetchFailed)
                StartImageIndexThread(drive);
        } else {
            ReadDriveStatus(drive, dsImageIndex);
        }
    }
    return slot.Rec.ImageIndex;
}

// A name of a valid drive, read from the system when the field it depends
// on is still empty; "X:" for a drive that is not valid.
std::wstring TDriveInfo::NameOf(wchar_t Drive, std::wstring TDriveInfoRec::*Needed, std::wstring TDriveInfoRec::*Name)
{
    TSlot& slot = SlotOf(Drive);
    const wchar_t drive = UpCaseDrive(Drive);
    if (!slot.Rec.Valid)
        return DriveColon(drive);
    if ((slot.Rec.*Needed).empty())
        ReadDriveStatus(drive, dsDisplayName);
    return slot.Rec.*Name;
}

std::wstring TDriveInfo::GetDisplayName(wchar_t Drive)
{
    return NameOf(Drive, &TDriveInfoRec::DisplayName, &TDriveInfoRec::DisplayName);
}

std::wstring TDriveInfo::GetPrettyName(wchar_t Drive)
{
    return NameOf(Drive, &TDriveInfoRec::PrettyName, &TDriveInfoRec::PrettyName);
}

std::wstring TDriveInfo::GetLongPrettyName(wchar_t Drive)
{
    return NameOf(Drive, &TDriveInfoRec::PrettyName, &TDriveInfoRec::LongPrettyName);
}

void TDriveInfo::ResetDrive(wchar_t Drive)
{
    Reset(SlotOf(Drive));
}

void TDriveInfo::Reset(TSlot& Slot)
{
    TDriveInfoRec& rec = Slot.Rec;
    rec.Pidl.clear();
    rec.Known = rec.Valid = rec.DriveReady = false;
    rec.DisplayName.clear();
    rec.PrettyName.clear();
    rec.LongPrettyName.clear();
    rec.Serial = 0;
    rec.Size = -1;
    rec.ImageIndex = -1;
    // A fetch still under way belongs to the list just forgotten.
    ++Slot.Generation;
    Slot.FetchFailed = false;
}

bool TDriveInfo::RefreshAll()
{
    std::array<bool, kLastLetter - kFirstDrive + 1> seen{};
    const auto resetUnseen = [&] {
        for (wchar_t drive = kFirstDrive; drive <= kLastLetter; ++drive)
            if (!seen[static_cast<size_t>(drive - kFirstDrive)])
                ResetDrive(drive);
    };
    bool started;
    try {
        started = probe_->EnumDrives([&](const TPidlBytes& Pidl, const std::wstring& Path) {
            if (Path.empty())
                return;
            const wchar_t drive = UpCaseDrive(Path[0]);
            if (drive < kFirstDrive || drive > kLastLetter || HiddenByNoDrives(drive, noDrives_))
                return;
            seen[static_cast<size_t>(drive - kFirstDrive)] = true;
            TSlot& slot = SlotOf(drive);
            slot.Rec.Known = slot.Rec.Valid = true;
            if (slot.Rec.Pidl != Pidl) {
                slot.Rec.Pidl = Pidl;
                ++slot.Generation;
                slot.FetchFailed = false;
            }
            slot.Rec.DriveType = probe_->DriveType(drive);
        });
    } catch (...) {
        resetUnseen();
        throw;
    }
    // A listing that never started says nothing about the drives.
    if (started)
        resetUnseen();
    return started;
}

bool TDriveInfo::IsDriveAccessible(wchar_t Drive)
{
    TSlot& slot = SlotOf(Drive);
    if (UpCaseDrive(Drive) == kNetworkDrive)
        return slot.Rec.DriveReady;
    if (probe_->Terminating())
        return false;
    slot.Rec.DriveReady = probe_->CanEnumerate(slot.Rec.Pidl);
    return slot.Rec.DriveReady;
}

void TDriveInfo::StartImageIndexThread(wchar_t Drive)
{
    TSlot& slot = SlotOf(Drive);
    const wchar_t drive = UpCaseDrive(Drive);
    if (slot.Fetching)
        return;
    slot.Fetching = true;
    slot.FetchFailed = false;
    const unsigned generation = slot.Generation;
    try {
        probe_->StartImageIndexFetch(drive, slot.Rec.Pidl, [this, drive, generation](int ImageIndex) {
            ImageIndexFetched(drive, generation, ImageIndex);
        });
    } catch (...) {
        slot.Fetching = false;
        throw;
    }
}

void TDriveInfo::ImageIndexFetched(wchar_t Drive, unsigned Generation, int ImageIndex)
{
    TSlot& slot = SlotOf(Drive);
    slot.Fetching = false;
    if (Generation != slot.Generation || probe_->Terminating())
        return;
    if (ImageIndex < kFirstDriveIcon) {
        slot.FetchFailed = true;
        return;
    }
    slot.Rec.ImageIndex = ImageIndex;
    if (OnImageIndexReady)
        OnImageIndexReady(Drive, ImageIndex);
}

int TDriveInfo::ImageIndexFetchesRunning() const
{
    int running = 0;
    for (const TSlot& slot : slots_)
        running += slot.Fetching ? 1 : 0;
    return running;
}

void TDriveInfo::BuildPrettyNames(wchar_t Drive)
{
    TDriveInfoRec& rec = SlotOf(Drive).Rec;
    const std::wstring colon = DriveColon(UpCaseDrive(Drive));
    std::wstring pretty = colon + L" " + rec.DisplayName;
    // The shell ends a drive's name with " (X:)"; a label may hold
    // parentheses of its own, so only the last such suffix goes.
    const size_t suffix = pretty.rfind(L" (" + colon);
    if (suffix != std::wstring::npos)
        pretty.erase(suffix);
    rec.PrettyName = TrimRight(pretty);
    rec.LongPrettyName = rec.PrettyName;
}

bool TDriveInfo::ReadDriveStatus(wchar_t Drive, int Flags)
{
    TSlot& slot = SlotOf(Drive);
    const wchar_t drive = UpCaseDrive(Drive);
    if (drive == kNetworkDrive)
        return true;
    TDriveInfoRec& rec = slot.Rec;
    if (!rec.Valid) {
        Reset(slot);
        return true;
    }
    bool ok = true;
    std::wstring label;
    if ((Flags & dsSize) || ((Flags & dsDisplayName) && rec.DriveType == kDriveTypeCDRom))
        ReadVolume(drive, rec, label, ok);
    try {
        if (Flags & dsDisplayName)
            ReadNames(drive, rec, Flags, label);
        if (Flags & dsImageIndex)
            ReadIcon(drive, slot);
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading a drive's data");
        ok = false;
    }
    return ok;
}

void TDriveInfo::ReadVolume(wchar_t Drive, TDriveInfoRec& Rec, std::wstring& Label, bool& Ok)
{
    const auto clearVolume = [&] {
        Rec.Serial = 0;
        Rec.FileSystemFlags = 0;
        Rec.FileSystemName.clear();
        Label.clear();
    };
    try {
        Rec.Size = Rec.FreeSpace = -1;
        int64_t total = -1, free = -1;
        const bool answered = probe_->DiskSpace(Drive, total, free);
        if (answered) {
            Rec.Size = total;
            Rec.FreeSpace = free;
        }
        Rec.DriveReady = Rec.Size >= 0 || Rec.FreeSpace >= 0 || answered;
        if (!Rec.DriveReady) {
            Rec.Serial = 0;
            Label.clear();
            return;
        }
        TVolumeInfo info;
        if (!probe_->VolumeInformation(Drive, info)) {
            clearVolume();
            return;
        }
        Rec.Serial = info.Serial;
        Rec.MaxNameLength = info.MaxNameLength;
        Rec.FileSystemFlags = info.FileSystemFlags;
        Rec.FileSystemName = info.FileSystemName;
        Label = info.Label;
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading a volume's information");
        clearVolume();
        Ok = false;
    }
}

void TDriveInfo::ReadNames(wchar_t Drive, TDriveInfoRec& Rec, int Flags, const std::wstring& Label)
{
    const std::wstring colon = DriveColon(Drive);
    if (Rec.DriveType == kDriveTypeRemote) {
        Rec.DisplayName = probe_->DisplayName(Rec.Pidl);
        const std::wstring remote = probe_->RemoteName(Drive);
        if (remote.empty()) {
            BuildPrettyNames(Drive);
        } else {
            Rec.PrettyName = colon + L" " + ExtractFileName(RemoveBackslash(remote));
            Rec.LongPrettyName = colon + L" " + remote;
        }
    } else if (Rec.DriveReady || !(Flags & dsSize)) {
        if (Rec.DriveType == kDriveTypeCDRom) {
            // The label names the disc; the drive letter says where it is.
            std::wstring name = Label.empty() ? probe_->DisplayName(Rec.Pidl) : Label;
            const std::wstring suffix = L" (" + colon + L")";
            if (!name.ends_with(suffix))
                name += suffix;
            Rec.DisplayName = name;
        } else {
            Rec.DisplayName = probe_->DisplayName(Rec.Pidl);
        }
        BuildPrettyNames(Drive);
    } else if (Rec.DriveType != kDriveTypeRemovable) {
        // Not ready: a name that does not wait for the medium.
        Rec.DisplayName = probe_->FileInfoDisplayName(Rec.Pidl);
        BuildPrettyNames(Drive);
    }
}

void TDriveInfo::ReadIcon(wchar_t Drive, TSlot& Slot)
{
    if (Slot.Rec.DriveType == kDriveTypeCDRom) {
        StartImageIndexThread(Drive);
        return;
    }
    const int index = probe_->SysIconIndex(Slot.Rec.Pidl);
    Slot.Rec.ImageIndex = index < kFirstDriveIcon ? FallbackImageIndex(Slot.Rec.DriveType) : index;
}

}  // namespace qrv
