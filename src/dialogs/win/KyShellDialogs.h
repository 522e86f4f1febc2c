#pragma once
// The shell's services as components: its Run dialog with a check of the
// typed command (TKyRunDialog), its format dialog for a drive
// (TKyFormatDrive), and the file types it offers for a new file with their
// pictures and first contents (TKyNewFileTypes, over dialogs/NewFileTypes.h).

#include "dialogs/NewFileTypes.h"
#include "framework/Component.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TControl;

// The Run dialog's flags, as the shell takes them.
enum TKyRunDialogFlag : uint32_t {
    rdNoBrowse = 0x1,
    rdNoDefault = 0x2,
    rdCalcDirectory = 0x4,
    rdNoLabel = 0x8,
    rdSeparateMem = 0x20,
};

// The answers to the dialog's check of a typed command.
enum TKyRunResult : int { rrRun = 0, rrCancel = 1, rrRetry = 2 };

// The code of the dialog's check notification.
constexpr int kRunFileValidate = -510;

class TKyRunDialog : public TComponent {
public:
    // Owner a control: the dialog opens 25 pixels right of and 100 below its
    // top-left corner.
    explicit TKyRunDialog(TComponent* owner);
    ~TKyRunDialog() override;

    std::wstring Title;
    std::wstring Description;
    std::wstring Directory;  // the working directory offered
    uint32_t Flags = 0;      // TKyRunDialogFlag bits
    // The dialog's icon (a copy is kept; nullptr: the shell's own).
    void SetIcon(HICON Icon);
    HICON Icon() const { return icon_.Get(); }

    // Asked before the typed command runs: Result rrRun lets it run,
    // rrCancel closes the dialog, rrRetry keeps it open.
    std::function<void(TComponent* Sender, const std::wstring& FileName, const std::wstring& Directory, int& Result)>
        OnRunFile;

    // The dialog opens 25 pixels right of and 100 below this window's
    // top-left corner.
    void PlaceBeside(HWND Window);
    // Shows the dialog modally; false when the shell has none.
    bool Execute();
    // The hidden window that owns the dialog and takes its notifications.
    HWND NotifyWindow() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
    LRESULT Validate(LPARAM LParam);
    HWND window_ = nullptr;
    TIconHandle icon_;
};

// The shell's format dialog for a drive.
enum TKyFormatOption : uint32_t { foQuick = 0x1, foSysCheck = 0x2 };
enum TKyFormatResult : int { frDone = 0, frCancelled = 1, frCannotFormat = 2, frFailed = 3 };

class TKyFormatDrive : public TComponent {
public:
    using TComponent::TComponent;
    wchar_t Drive = L'A';
    uint32_t Options = 0;  // TKyFormatOption bits
    // frDone, frCancelled, frCannotFormat (the drive cannot be formatted),
    // frFailed (the format failed).
    int Execute();
};

// The shell's new-file types with the small icon of each on the menu's
// colour.
class TKyNewFileTypes : public TComponent {
public:
    explicit TKyNewFileTypes(TComponent* owner);
    // The system to read (tests bring their own); the Win32 one by default.
    TKyNewFileTypes(TComponent* owner, std::unique_ptr<TNewFileSystem> System);
    ~TKyNewFileTypes() override;

    // Reads the types and their pictures again.
    void Refresh();
    bool Loaded() const { return list_.Loaded(); }
    int Count() const { return list_.Count(); }
    const TNewFileType* Item(int Index) const { return list_.Item(Index); }
    // The 16 x 16 picture of type Index (empty when the shell had none).
    const TBitmap* ItemBitmap(int Index) const;
    std::vector<uint8_t> Content(const TNewFileType& Type) const { return list_.Content(Type); }
    [[nodiscard]] bool RunCommand(const TNewFileType& Type, const std::wstring& Folder,
                                  const std::wstring& NewFile) const
    {
        return list_.RunCommand(Type, Folder, NewFile);
    }

private:
    std::unique_ptr<TNewFileSystem> system_;
    TNewFileTypeList list_;
    std::vector<std::unique_ptr<TBitmap>> bitmaps_;
};

// The Win32 system of the new-file types: HKEY_CLASSES_ROOT, the shell's
// folders and type names, the files. TemplatesFolder replaces the shell's
// templates folder when given.
std::unique_ptr<TNewFileSystem> NewWinNewFileSystem(const std::wstring& TemplatesFolder = {});

}  // namespace qrv
