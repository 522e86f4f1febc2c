#include "panels/PasteRules.h"

#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"

#include <algorithm>
#include <cwctype>

namespace qrv {

namespace {

bool SameFolderName(const std::wstring& a, const std::wstring& b)
{
    const std::wstring x = RemoveBackslash(a);
    const std::wstring y = RemoveBackslash(b);
    if (x.size() != y.size()) {
        return false;
    }
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::towlower(x[i]) != std::towlower(y[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring CopyName(const std::wstring& Source, bool Directory, const TPathTest& Exists,
                      const std::vector<std::wstring>& Taken)
{
    const std::wstring path = RemoveBackslash(Source);
    const size_t nameStart = path.find_last_of(L'\\') + 1;
    // The extension starts at the last dot that is not the name's first character.
    const size_t dot = path.rfind(L'.');
    const bool hasExtension = !Directory && dot != std::wstring::npos && dot > nameStart;
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    const std::wstring extension = hasExtension ? path.substr(dot) : std::wstring();
    auto taken = [&](const std::wstring& name) {
        for (const std::wstring& other : Taken) {
            if (SameFolderName(other, name)) {
                return true;
            }
        }
        return Exists(name);
    };
    std::wstring name = stem + L" - Kopie" + extension;
    // A folder that answers "exists" for every name must not hang the paste.
    constexpr int kMaxCounter = 100000;
    // The second copy is "(2)", as the first counts as one.
    for (int n = 2; taken(name); ++n) {
        if (n > kMaxCounter) {
            return std::wstring();
        }
        name = stem + L" - Kopie (" + std::to_wstring(n) + L")" + extension;
    }
    return name;
}

bool IsSameOrAncestorFolder(const std::wstring& Folder, const std::wstring& Path)
{
    const std::wstring folder = RemoveBackslash(Folder);
    const std::wstring path = RemoveBackslash(Path);
    if (folder.empty() || path.size() < folder.size() || !SameFolderName(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\' || folder.back() == L'\\';
}

TPastePlan PlanPaste(const std::vector<std::wstring>& Names, TDropEffect Effect, const std::wstring& TargetFolder,
                     bool ConfirmOverwrite, const TPathTest& Exists, const TPathTest& IsDirectory,
                     bool RenameOnCollision)
{
    TPastePlan plan;
    if (Names.empty() || !IsFullPath(TargetFolder)) {
        return plan;
    }
    plan.SameFolder = true;
    for (const std::wstring& name : Names) {
        if (!IsFullPath(name)) {
            return plan;
        }
        plan.SameFolder = plan.SameFolder && SameFolderName(ExtractFilePath(RemoveBackslash(name)), TargetFolder);
        // The shell reports success for a folder copied into itself and
        // does nothing.
        if (IsSameOrAncestorFolder(name, TargetFolder) && IsDirectory(RemoveBackslash(name))) {
            return plan;
        }
    }
    plan.Operation = Effect == deMove ? TFileOperation::foMove : TFileOperation::foCopy;
    if (plan.Operation == TFileOperation::foMove && plan.SameFolder) {
        return plan;  // moving files onto themselves
    }
    plan.Flags = foAllowUndo | foNoConfirmMkDir;
    if (plan.SameFolder) {
        for (const std::wstring& name : Names) {
            const std::wstring copy = CopyName(name, IsDirectory(RemoveBackslash(name)), Exists, plan.Dests);
            if (copy.empty()) {
                return plan;
            }
            plan.Dests.push_back(copy);
        }
        plan.Flags |= foMultiDestFiles;
    } else if (RenameOnCollision) {
        const std::wstring folder = RemoveBackslash(TargetFolder);
        bool renamed = false;
        for (const std::wstring& name : Names) {
            const std::wstring target = folder + L'\\' + ExtractFileName(RemoveBackslash(name));
            std::wstring dest = target;
            const bool taken = Exists(target) || std::any_of(plan.Dests.begin(), plan.Dests.end(), [&](auto& other) {
                                   return SameFolderName(other, target);
                               });
            if (taken) {
                dest = CopyName(target, IsDirectory(RemoveBackslash(name)), Exists, plan.Dests);
                if (dest.empty()) {
                    return plan;
                }
                renamed = true;
            }
            plan.Dests.push_back(dest);
        }
        if (renamed) {
            plan.Flags |= foMultiDestFiles;
        } else {
            plan.Dests.clear();
        }
    }
    if (!ConfirmOverwrite) {
        plan.Flags |= foNoConfirmation;
    }
    plan.Sources = Names;
    plan.Dest = TargetFolder;
    plan.EmptyClipboardAfter = plan.Operation == TFileOperation::foMove;
    plan.Valid = true;
    return plan;
}

TPastePlan PlanDrop(const std::vector<std::wstring>& Names, const std::vector<std::wstring>& Mapped, TDropEffect Effect,
                    const std::wstring& TargetFolder, const TDropConfirmations& Confirm, bool ToRecycleBin,
                    bool SameFolder, const TPathTest& Exists, const TPathTest& IsDirectory)
{
    if (ToRecycleBin) {
        TPastePlan plan;
        if (Names.empty() || !std::all_of(Names.begin(), Names.end(), IsFullPath)) {
            return plan;
        }
        plan.Operation = TFileOperation::foDelete;
        plan.Flags = foAllowUndo | foNoConfirmMkDir;
        if (!Confirm.Delete) {
            plan.Flags |= foNoConfirmation | (Confirm.NukeWarning ? foWantNukeWarning : 0);
        }
        plan.Sources = Names;
        plan.Valid = true;
        return plan;
    }
    if (Effect != deCopy && Effect != deMove) {
        return {};
    }
    const std::wstring folder = AddBackslash(TargetFolder);
    TPastePlan plan = PlanPaste(Names, Effect, folder, Confirm.Overwrite, Exists, IsDirectory, SameFolder);
    const bool anyMapped = std::any_of(Mapped.begin(), Mapped.end(), [](auto& name) { return !name.empty(); });
    if (!plan.Valid || !anyMapped || !plan.Dests.empty()) {
        return plan;
    }
    if (Mapped.size() != Names.size()) {
        return {};
    }
    // The names the source chose for its files.
    for (size_t i = 0; i < Names.size(); ++i) {
        if (!Mapped[i].empty() && !IsSafeNameLevel(Mapped[i])) {
            return {};
        }
        plan.Dests.push_back(folder + (Mapped[i].empty() ? ExtractFileName(RemoveBackslash(Names[i])) : Mapped[i]));
    }
    plan.Flags |= foMultiDestFiles;
    return plan;
}

}  // namespace qrv
