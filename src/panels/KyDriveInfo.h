#pragma once
// TDriveInfo: the table of the drives the user may see, one record per drive
// letter A to Z, a spare slot "[" and the network neighbourhood "\". Slow
// facts (volume data, names, icons) are read lazily, one drive at a time,
// the first time somebody asks. Everything the table knows of the system
// comes through a TDriveProbe: the shell's in the program
// (panels/win/DriveSystem.h), a fake in tests. Portable; used on the
// user-interface thread.

#include "common/PIDL.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

// Drive characters run from 'A' to '\\' (the network neighbourhood).
constexpr wchar_t kFirstDrive = L'A';
constexpr wchar_t kLastLetter = L'Z';
constexpr wchar_t kSpareDrive = L'[';
constexpr wchar_t kNetworkDrive = L'\\';
constexpr wchar_t kLastDrive = kNetworkDrive;

// The system's drive types.
constexpr int kDriveTypeUnknown = 0;
constexpr int kDriveTypeNoRootDir = 1;
constexpr int kDriveTypeRemovable = 2;
constexpr int kDriveTypeFixed = 3;
constexpr int kDriveTypeRemote = 4;
constexpr int kDriveTypeCDRom = 5;
constexpr int kDriveTypeRamDisk = 6;

// What ReadDriveStatus refreshes.
enum TDriveStatusFlag : int {
    dsImageIndex = 1,   // the system icon
    dsSize = 2,         // sizes and volume data
    dsDisplayName = 4,  // the names
};

struct TDriveInfoRec {
    // The drive's absolute item identifier list; its own bytes, so a copy
    // stays valid whatever the table does afterwards. Empty when unknown.
    TPidlBytes Pidl;
    bool Known = false;       // the last enumeration of My Computer listed the drive
    bool Valid = false;       // it exists and "NoDrives" does not hide it
    bool DriveReady = false;  // a medium is present and readable
    int DriveType = kDriveTypeUnknown;
    std::wstring DisplayName;
    std::wstring PrettyName;      // "X: " + the display name without its " (X:)"
    std::wstring LongPrettyName;  // for a mapped drive "X: \\server\share"
    uint32_t Serial = 0;
    int64_t Size = -1;       // total bytes, -1 when unknown
    int64_t FreeSpace = -1;  // free bytes, -1 when unknown
    int ImageIndex = -1;     // in the system image list, -1 when unknown
    std::wstring FileSystemName;
    uint32_t MaxNameLength = 0;
    uint32_t FileSystemFlags = 0;
};

struct TVolumeInfo {
    std::wstring Label;
    uint32_t Serial = 0;
    uint32_t MaxNameLength = 0;
    uint32_t FileSystemFlags = 0;
    std::wstring FileSystemName;
};

// The system as the table sees it. Calls that touch a medium must not bring
// up the system's error boxes.
class TDriveProbe {
public:
    virtual ~TDriveProbe() = default;
    // The system drive type of "X:\" for a letter A to Z.
    virtual int DriveType(wchar_t Drive) = 0;
    // The Explorer policy "NoDrives"; 0 when it is not set.
    virtual uint32_t NoDrives() = 0;
    // The network neighbourhood, when the system has a network and the
    // shell a folder for it.
    virtual bool NetworkNeighbourhood(TPidlBytes& Pidl, std::wstring& DisplayName, int& ImageIndex) = 0;
    // Lists the folders of My Computer: Found gets each one's absolute list
    // and file-system path. False when the listing cannot be started; may
    // throw part-way.
    virtual bool EnumDrives(const std::function<void(const TPidlBytes& Pidl, const std::wstring& Path)>& Found) = 0;
    // Total and free bytes of the drive; false when the query fails.
    virtual bool DiskSpace(wchar_t Drive, int64_t& Total, int64_t& Free) = 0;
    virtual bool VolumeInformation(wchar_t Drive, TVolumeInfo& Info) = 0;
    // "\\server\share" of a mapped network drive; empty when there is none.
    virtual std::wstring RemoteName(wchar_t Drive) = 0;
    // The shell's normal display name of a list; empty on failure.
    virtual std::wstring DisplayName(const TPidlBytes& Pidl) = 0;
    // The display name the shell's file information gives, which does not
    // wait for a medium.
    virtual std::wstring FileInfoDisplayName(const TPidlBytes& Pidl) = 0;
    // The system image list index of a list; -1 on failure.
    virtual int SysIconIndex(const TPidlBytes& Pidl) = 0;
    // True when the list's folder can be bound and listed.
    virtual bool CanEnumerate(const TPidlBytes& Pidl) = 0;
    // The application is shutting down.
    virtual bool Terminating() = 0;
    // Fetches the icon index of Pidl in the background at low priority. Done
    // runs later on the user-interface thread with the index (-1 when the
    // shell gave none), unless the fetch was cancelled.
    virtual void StartImageIndexFetch(wchar_t Drive, TPidlBytes Pidl, std::function<void(int ImageIndex)> Done) = 0;
    // Cancels every fetch and waits until none runs; no Done comes after.
    virtual void CancelImageIndexFetches() = 0;
};

// True when the "NoDrives" policy mask hides the drive (bit 0 is A:).
bool HiddenByNoDrives(wchar_t drive, uint32_t noDrives);

// The first fixed drive (type 3) from A to "\" that the policy does not hide,
// or a blank when there is none.
wchar_t ChooseDefaultDrive(const std::function<int(wchar_t drive)>& driveType, uint32_t noDrives);

// The image index shown for a drive whose system icon index is below 4.
int FallbackImageIndex(int DriveType);

// Lower-case letters name the same drive as upper-case ones.
wchar_t UpCaseDrive(wchar_t Drive);

class TDriveInfo {
public:
    // Reads the policy, every drive's type and the network neighbourhood.
    explicit TDriveInfo(std::unique_ptr<TDriveProbe> Probe);
    // Cancels and waits for the icon fetches first.
    ~TDriveInfo();
    TDriveInfo(const TDriveInfo&) = delete;
    TDriveInfo& operator=(const TDriveInfo&) = delete;

    // Every operation that takes a drive accepts lower-case letters and
    // throws EConvertError "<Drive> ist kein gültiges Laufwerk." for a
    // character outside A to "\", except IsValid, which answers false.

    // A copy of the drive's record.
    void GetData(wchar_t Drive, TDriveInfoRec& Rec) const;
    bool IsValid(wchar_t Drive) const;
    void SetValid(wchar_t Drive, bool Value);
    // -1 for an invalid drive. An unknown icon is read first; a CD-ROM gets
    // the first fixed drive's icon at once while its own is fetched in the
    // background (one fetch per drive at a time).
    int GetImageIndex(wchar_t Drive);
    // "X:" for an invalid drive; names still unknown are read first.
    std::wstring GetDisplayName(wchar_t Drive);
    std::wstring GetPrettyName(wchar_t Drive);
    std::wstring GetLongPrettyName(wchar_t Drive);
    // Forgets all but the type, the free space and the volume data.
    void ResetDrive(wchar_t Drive);
    // Lists My Computer again: the drives it holds become known and valid
    // (unless "NoDrives" hides them), the others are reset. False when the
    // listing could not be started.
    bool RefreshAll();
    // Whether the drive's folder can be listed now, stored as DriveReady.
    // The network neighbourhood answers what is stored; false while the
    // application shuts down.
    bool IsDriveAccessible(wchar_t Drive);
    // Starts a background fetch of the drive's icon unless one is under way.
    void StartImageIndexThread(wchar_t Drive);
    // PrettyName and LongPrettyName from DisplayName.
    void BuildPrettyNames(wchar_t Drive);
    // Refreshes parts of a record (TDriveStatusFlag values or-ed together);
    // false when a failure was caught on the way.
    bool ReadDriveStatus(wchar_t Drive, int Flags);

    uint32_t NoDrives() const { return noDrives_; }
    // The first fixed drive not hidden by "NoDrives" when the table was
    // built; a blank when there is none.
    wchar_t DefaultDrive() const { return defaultDrive_; }
    // Icon fetches running now.
    int ImageIndexFetchesRunning() const;

    // Raised on the user-interface thread when a background fetch delivered
    // a drive's icon.
    std::function<void(wchar_t Drive, int ImageIndex)> OnImageIndexReady;

private:
    std::wstring NameOf(wchar_t Drive, std::wstring TDriveInfoRec::*Needed, std::wstring TDriveInfoRec::*Name);
    struct TSlot {
        TDriveInfoRec Rec;
        bool Fetching = false;     // an icon fetch is under way
        bool FetchFailed = false;  // the last one brought no icon
        unsigned Generation = 0;   // counts the lists the slot has held
    };
    static constexpr size_t kSlots = kLastDrive - kFirstDrive + 1;

    // The slot of a drive; throws EConvertError for a character outside A to "\".
    static size_t SlotIndex(wchar_t Drive);
    TSlot& SlotOf(wchar_t Drive);
    const TSlot& SlotOf(wchar_t Drive) const;
    void Reset(TSlot& Slot);
    void ReadVolume(wchar_t Drive, TDriveInfoRec& Rec, std::wstring& Label, bool& Ok);
    void ReadNames(wchar_t Drive, TDriveInfoRec& Rec, int Flags, const std::wstring& Label);
    void ReadIcon(wchar_t Drive, TSlot& Slot);
    void ImageIndexFetched(wchar_t Drive, unsigned Generation, int ImageIndex);

    std::unique_ptr<TDriveProbe> probe_;
    std::array<TSlot, kSlots> slots_;
    uint32_t noDrives_ = 0;
    wchar_t defaultDrive_ = L' ';
};

}  // namespace qrv
