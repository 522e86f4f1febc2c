#pragma once
// The Windows system under TFileOperator: the shell's file operation, MoveFileW
// for renames, the process-wide file-operation mutex and the global notifier.

#include "common/FileOperator.h"
#include "framework/win/WinApi.h"

#include <memory>

namespace qrv {

class TControl;

class TShellFileOperatorSystem : public TFileOperatorSystem {
public:
    // Owner: the control whose form owns the shell's dialogs (may be null:
    // then the application's main form).
    explicit TShellFileOperatorSystem(TControl* Owner);

    TShellOperationResult ShellOperation(uint32_t OperationCode, const std::wstring& From, const std::wstring& To,
                                         TFileOperationFlags Flags) override;
    uint32_t RenameFile(const std::wstring& From, const std::wstring& To) override;
    bool FileOrDirExists(const std::wstring& Path) override;
    bool DirectoryExists(const std::wstring& Path) override;
    std::vector<TTreeFile> TreeFiles(const std::wstring& Path) override;
    uint32_t RemoveFile(const std::wstring& Path) override;
    uint32_t ShortTargetError(const std::wstring& Target, uint64_t Missing) override;
    [[nodiscard]] bool Lock() override;
    void Unlock() override;
    void NotifyRenamed(bool IsFolder, const std::wstring& OldPath, const std::wstring& NewPath) override;
    void RepaintOwner() override;

    // The window that owns the shell's dialogs: the owner's form, else the
    // main form; none while the application is ending.
    HWND OwnerWindow() const;

private:
    TControl* owner_;
};

// An operator over the shell, its dialogs owned by Owner's form.
std::unique_ptr<TFileOperator> NewShellFileOperator(TControl* Owner);

// The name of the process's file-operation mutex ("TFileOperator" and a
// random number, so that other processes never share it).
const std::wstring& FileOperatorMutexName();

}  // namespace qrv
