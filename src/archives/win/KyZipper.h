#pragma once
// TKyZipper: the zip component. It lists an archive with its own directory
// reader (ZipDirectory) and leaves adding, deleting, extracting and testing
// to the zip and unzip libraries, driven with one command record per
// operation; their callbacks arrive in TZipCallbackDispatch. Sets spanned
// over files (".z01"... or "name001.zip") or removable disks (each disk
// asked for) are joined into a temporary archive before extracting and
// written by splitting a temporary archive. One entry can be extracted into
// or added from the component's memory stream. Failures become messages of
// the component's table, ErrCode and a success count below the request; no
// operation raises to its caller.

#include "archives/UNZDLL.h"
#include "archives/ZIPDLL.h"
#include "archives/ZipCallback.h"
#include "archives/ZipCommands.h"
#include "archives/ZipDirectory.h"
#include "archives/ZipMessages.h"
#include "archives/ZipStoreSuffixes.h"
#include "archives/win/ZipDrive.h"
#include "common/BaseUtils.h"
#include "framework/Component.h"
#include "framework/Streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

enum SpanOpts : unsigned {
    spNoVolumeName = 1u << 0,
    spCompatName = 1u << 1,
    spWipeFiles = 1u << 2,
    spTryFormat = 1u << 3
};
enum TZipDiskStatus : unsigned {
    zdsEmpty = 1u << 0,
    zdsHasFiles = 1u << 1,
    zdsPreviousDisk = 1u << 2,
    zdsSameFileName = 1u << 3,
    zdsNotEnoughSpace = 1u << 4,
};
enum TZipDiskAction { zdaOk, zdaErase, zdaReject, zdaCancel };

// The component's memory stream: one entry extracted into memory, or the
// bytes to be added as one entry.
class TZipStream : public TMemoryStream {};

class TKyZipper : public TComponent {
public:
    explicit TKyZipper(TComponent* owner, TLibraryApi api = {});
    ~TKyZipper() override;

    // Published properties.
    bool Verbose = false;
    bool Trace = false;
    int AddCompLevel = 9;
    unsigned AddOptions = 0;
    // With AddFromDate only files changed on or after this day are added.
    TDateTime AddFrom = 0;
    std::wstring ExtrBaseDir;
    unsigned ExtrOptions = 0;
    std::vector<std::wstring> FSpecArgs;
    std::vector<std::wstring> FSpecArgsExcl;
    bool Unattended = false;
    std::wstring Password;
    std::wstring TempDir;
    CodePageOpts CodePage = cpAuto;
    DeleteOpts HowToDelete = htdAllowUndo;
    unsigned PasswordReqCount = 1;
    bool UseDirOnlyEntries = false;
    std::wstring RootDir;
    unsigned SpanOptions = 0;
    bool ConfirmErase = true;  // kept for the settings; a disk is wiped only after the user's Yes
    uint64_t MaxVolumeSize = 0;
    uint64_t MinFreeVolumeSize = 65536;
    uint64_t KeepFreeOnDisk1 = 0;
    uint64_t KeepFreeOnAllDisks = 0;
    unsigned AddStoreSuffixes = kDefaultStoreSuffixes;
    std::wstring ExtAddStoreSuffixes;  // used with assEXT
    static constexpr const wchar_t* VersionInfo = L"1.73";

    const std::wstring& ZipFileName() const { return zipFileName_; }
    // Stores the name and lists the archive.
    void SetZipFileName(const std::wstring& name);
    const std::wstring& DLLDirectory() const { return dllDirectory_; }
    // Drops one trailing backslash.
    void SetDLLDirectory(const std::wstring& folder);

    // Events.
    TNotifyEvent OnDirUpdate;
    std::function<void(TComponent* Sender, int ErrCode, const std::wstring& Message)> OnMessage;
    std::function<void(TComponent* Sender, int SeqNo, const ZipDirEntry& ZipEntry)> OnNewName;
    std::function<void(TComponent* Sender, int ID, std::wstring& Str)> OnZipStr;
    // What is on the disk a part is to be written to (a set of
    // TZipDiskStatus): the handler decides. zdaCancel cancels; zdaReject asks
    // for another removable disk (on a hard disk it cancels); zdaErase wipes
    // the disk after the user's Yes. Without a handler the user is asked
    // (Yes, No, Cancel) when a part would be overwritten. zdsNotEnoughSpace:
    // anything but zdaCancel asks for the disk again.
    std::function<void(TComponent* Sender, int PreviousDisk, const std::wstring& PreviousFile, unsigned Status,
                       TZipDiskAction& Action)>
        OnStatusDisk;
    // The libraries' callbacks (progress, passwords, CRC errors, overwrite...).
    TZipCallbackEvents& CallbackEvents() { return dispatch_.Events; }

    // The drive facts, and the questions to the user (a message box by
    // default; returns IDOK, IDYES...). Tests put fakes here.
    std::shared_ptr<IZipDrive> Drive;
    std::function<int(const std::wstring& Text, const std::wstring& Title, unsigned Type)> AskUser;
    // A removable disk is wanted (DiskTotal 0 when not known): AbortAction
    // true cancels. The disk is asked for again until it can be read.
    std::function<void(TComponent* Sender, int DiskSeqNo, int DiskTotal, const std::wstring& Drive, bool& AbortAction)>
        OnGetNextDisk;

    // Operations: the error code, or -255 while the component is busy.
    void List();
    int Add();
    int Delete();
    int Extract();
    int Count() const { return zipFileName_.empty() ? 0 : int(entries_->size()); }
    // Keeps both libraries loaded between operations (each one not loaded
    // yet is loaded) or, with false, lets go of that hold. A library that
    // cannot be loaded is reported as a message, never raised.
    void KeepLibrariesLoaded(bool keep);

    // Extracts the entry FileName into ZipStream(); the stream (at its
    // start) or nullptr after the failure is reported.
    TZipStream* ExtractFileToStream(const std::wstring& FileName);
    // Adds the bytes of ZipStream() as the entry FileName (">" in front
    // encrypts it with Password); the error code or -255.
    int AddStreamToFile(const std::wstring& FileName);
    TZipStream& ZipStream() { return zipStream_; }

    // Public state.
    const TZipEntries& ZipContents() const { return *entries_; }
    // The same listing, kept alive for its holder when the component lists
    // again (the names of a list built on it stay where they are).
    std::shared_ptr<const TZipEntries> SharedContents() const { return entries_; }
    int ErrCode() const { return errCode_; }
    int SuccessCnt() const { return successCnt_; }
    bool ZipBusy() const { return zipBusy_; }
    bool UnzBusy() const { return unzBusy_; }
    bool Cancel() const { return dispatch_.Cancel; }
    void SetCancel(bool cancel) { dispatch_.Cancel = cancel; }
    const std::wstring& Message() const { return message_; }
    const std::wstring& ZipComment() const { return comment_; }
    uint32_t DirOnlyCount() const { return dirOnlyCount_; }
    uint64_t CentralDirOffset() const { return centralOffset_; }
    uint64_t OffsetFirstLocal() const { return firstLocal_; }
    uint32_t DiskNr() const { return diskNr_; }
    uint32_t TotalDisks() const { return totalDisks_; }

private:
    // The disks of a set on a removable drive, each read whole while it is
    // in the drive.
    class TDiskShelf;
    // What the library loaders ask of the component.
    class TLoaderLink : public IZipLibOwner {
    public:
        explicit TLoaderLink(TKyZipper& zipper) : zipper_(zipper) {}
        std::wstring DLLDirectory() const override { return zipper_.dllDirectory_; }
        bool Verbose() const override { return zipper_.Verbose; }
        void ReportMessage(const std::wstring& text) override;

    private:
        TKyZipper& zipper_;
    };

    // Reports a message of the table (formatted with the argument).
    void ShowZipMessage(int id, const std::wstring& argument = {});
    void ShowZipMessage(int id, int64_t argument);
    void Report(int id, std::u16string text);
    std::u16string TableText(int id);

    bool IsSpannedSet() const { return totalDisks_ > 1; }
    std::wstring PartName(uint32_t index, bool last, bool compat) const;
    // The set joined into a temporary file; "" after reporting a failure.
    std::wstring JoinToTemp();
    // Splits the archive Source into the set named ZipFileName.
    int SplitTo(const std::wstring& source);
    // Runs a step of joining or splitting; what it throws (a handler's
    // exception, memory) is reported. False when it threw.
    bool SpanGuarded(const std::function<void()>& step);
    std::wstring TempFolder() const;
    // Whether an existing part file may be overwritten.
    bool MayOverwritePart(uint32_t index, const std::wstring& path, int& error);
    // Prompts for the removable disk of part Index, wipes it when asked to
    // and the user agrees, labels it; the usable bytes in Capacity.
    bool PrepareDisk(uint32_t index, uint32_t total, const std::wstring& path, uint64_t& capacity, int& error);
    // Asks for disk Index (from 0) of Total (0: not known); false when the
    // user cancels or nobody can be asked.
    bool AskForDisk(uint32_t index, uint32_t total, bool last);
    // What the user or OnStatusDisk says to the disk in the drive.
    TZipDiskAction DecideDisk(int previousDisk, const std::wstring& path, unsigned status);
    // The disk holds an earlier part of the set being written.
    bool IsPreviousDisk(uint32_t index, const std::wstring& path, int& previousDisk);
    // Wipes or formats the disk after the user's Yes; false ends the run.
    bool EraseDisk(const std::wstring& root);
    bool IsRemovableDrive() const;
    std::wstring DriveRoot() const;

    int RunZip(int action);
    // What both command records take from the component's properties.
    void FillRunSettings(TZipRunSettings& settings, const std::wstring& archive, int32_t version);
    static int32_t QRV_ZIPAPI Callback(ZipCallbackData* data);

    std::wstring zipFileName_;
    std::wstring dllDirectory_;
    std::shared_ptr<const TZipEntries> entries_ = std::make_shared<const TZipEntries>();
    std::wstring comment_;
    std::wstring message_;
    int errCode_ = 0;
    int successCnt_ = 0;
    bool zipBusy_ = false;
    bool unzBusy_ = false;
    uint32_t dirOnlyCount_ = 0;
    uint64_t centralOffset_ = 0;
    uint64_t firstLocal_ = 0;
    uint32_t diskNr_ = 0;
    uint32_t totalDisks_ = 0;
    // The disk of a removable set believed in the drive.
    uint32_t diskInDrive_ = 0;
    // The DOS time of the archive being split: its parts carry it.
    uint32_t splitDosTime_ = 0;
    TZipStream zipStream_;
    // The stream takes part in the running operation.
    bool streamOperation_ = false;
    // The running extraction's record, which the stream's size reaches.
    UnzCommand* runningUnz_ = nullptr;
    TZipCallbackDispatch dispatch_;
    TLoaderLink loaderLink_{*this};
    std::unique_ptr<TZipDll> zipDll_;
    std::unique_ptr<TUnzDll> unzDll_;
};

}  // namespace qrv
