#include "panels/PasteRules.h"

#include "common/BaseUtils.h"

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

TPastePlan PlanPaste(const std::vector<std::wstring>& Names, TDropEffect Effect, const std::wstring& TargetFolder,
                     bool ConfirmOverwrite)
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
    }
    plan.Operation = Effect == deMove ? TFileOperation::foMove : TFileOperation::foCopy;
    if (plan.Operation == TFileOperation::foMove && plan.SameFolder) {
        return plan;  // moving files onto themselves
    }
    plan.Flags = foAllowUndo | foNoConfirmMkDir;
    if (plan.SameFolder) {
        plan.Flags |= foRenameOnCollision | foWantMappingHandle;
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

}  // namespace qrv
