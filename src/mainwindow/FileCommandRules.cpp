#include "mainwindow/FileCommandRules.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

namespace qrv {

std::wstring ShortcutFileName(const std::wstring& Folder, const std::wstring& Base,
                              const std::function<bool(const std::wstring& FullPath)>& Exists)
{
    const std::wstring stem = AddBackslash(Folder) + Base;
    std::wstring name = stem + L".lnk";
    constexpr int kMaxCounter = 100000;
    for (int n = 2; Exists(name); ++n) {
        if (n > kMaxCounter) {
            return std::wstring();
        }
        name = stem + L" (" + std::to_wstring(n) + L").lnk";
    }
    return name;
}

std::wstring DriveShortcutBase(const std::wstring& VolumeLabel, wchar_t Drive)
{
    const std::wstring letter = L"(" + std::wstring(1, Drive) + L")";
    return VolumeLabel.empty() ? letter : VolumeLabel + L" " + letter;
}

TDeleteDecision DecideDelete(const TDeleteContext& Context)
{
    TDeleteDecision decision;
    const bool fixed = Context.DriveType == static_cast<uint32_t>(kDriveFixed);
    // A delete that is physical only because there is no recycle bin keeps
    // the shell's question: the user asked for the recycle bin.
    auto shellConfirms = [&](bool physical) {
        if (!physical) {
            return Context.ConfirmLogicalDel && !Context.ShellNoConfirmRecycle;
        }
        return Context.PhysicalRequested ? Context.ConfirmPhysicalDel : true;
    };
    switch (Context.Focus) {
    case TDeleteFocus::Tree:
        if (!Context.TreeNodeBelowDrive) {
            break;
        }
        decision.Target = TDeleteTarget::Tree;
        decision.Physical = Context.PhysicalRequested || !fixed;
        if (!decision.Physical && Context.ConfirmLogicalDel && Context.ShellNoConfirmRecycle) {
            decision.Question = Context.TreeFolderName + L"\n" + L"Verzeichnis in den Papierkorb verschieben?";
        }
        decision.ShellConfirms = shellConfirms(decision.Physical);
        return decision;
    case TDeleteFocus::List:
        if (Context.ListSelCount <= 0) {
            break;
        }
        decision.Target = TDeleteTarget::List;
        decision.Physical = Context.PhysicalRequested || Context.ListFullPathItems || !fixed;
        if (!decision.Physical && Context.ConfirmLogicalDel && Context.ShellNoConfirmRecycle) {
            decision.Question = std::to_wstring(Context.ListSelCount) + L" " +
                                (Context.ListSelCount == 1 ? L"Datei" : L"Dateien") +
                                L" in den Papierkorb verschieben?";
        }
        decision.ShellConfirms = shellConfirms(decision.Physical);
        return decision;
    case TDeleteFocus::Archive:
        if (!Context.ArchiveHasSelection) {
            break;
        }
        decision.Target = TDeleteTarget::Archive;
        return decision;
    case TDeleteFocus::None:
        break;
    }
    decision.Error = L"Kein löschbares Element fokusiert.";
    return decision;
}

namespace {

// Inner is Outer or lies below it, compared by whole path components.
bool FolderWithin(const std::wstring& Inner, const std::wstring& Outer)
{
    const std::wstring inner = AddBackslash(Inner);
    const std::wstring outer = AddBackslash(Outer);
    return inner.size() >= outer.size() && SameText(std::wstring_view(inner).substr(0, outer.size()), outer);
}

// The root a path cannot climb above: "C:\" for a drive path, "\\server\share"
// for a network path; empty for anything else.
std::wstring PathRoot(const std::wstring& Path)
{
    if (Path.size() >= 2 && Path[1] == L':')
        return Path.substr(0, 2) + L"\\";
    if (Path.size() > 2 && Path[0] == L'\\' && Path[1] == L'\\') {
        const size_t server = Path.find(L'\\', 2);
        if (server == std::wstring::npos)
            return Path;
        const size_t share = Path.find(L'\\', server + 1);
        return share == std::wstring::npos ? Path : Path.substr(0, share);
    }
    return std::wstring();
}

}  // namespace

std::wstring NearestExistingDir(const std::wstring& Path, const std::function<bool(const std::wstring& Folder)>& Exists)
{
    const std::wstring root = PathRoot(Path);
    std::wstring folder = Path.size() > root.size() ? RemoveBackslash(Path) : (root.empty() ? Path : root);
    while (!Exists(folder) && folder.size() > root.size()) {
        std::wstring parent = RemoveBackslash(ExtractFilePath(folder));
        if (parent.size() <= root.size())
            parent = root;
        // A path that does not shorten (no backslash left) stays as it is.
        if (parent.empty() || parent.size() >= folder.size())
            break;
        folder = parent;
    }
    return folder;
}

TListFollowUp FollowChangedFolder(const std::wstring& ListFolder, const std::wstring& Changed,
                                  const std::function<bool(const std::wstring& Folder)>& FolderExists)
{
    TListFollowUp result;
    if (ListFolder.empty() || Changed.empty() ||
        !(FolderWithin(ListFolder, Changed) || FolderWithin(Changed, ListFolder))) {
        return result;
    }
    const std::wstring folder = RemoveBackslash(ListFolder);
    if (FolderExists(folder)) {
        result.Kind = TListFollowUp::Reread;
        return result;
    }
    // The root is as far as it goes ("C:" stays "C:").
    const std::wstring parent = RemoveBackslash(ExtractFilePath(folder));
    if (parent.empty() || parent.size() >= folder.size()) {
        return result;
    }
    const auto exists = [&](const std::wstring& Folder) { return FolderExists(RemoveBackslash(Folder)); };
    const std::wstring nearest = RemoveBackslash(NearestExistingDir(parent, exists));
    if (FolderExists(nearest)) {
        result.Kind = TListFollowUp::Load;
        result.Folder = nearest;
    }
    return result;
}

}  // namespace qrv
