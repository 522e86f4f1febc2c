#include "mainwindow/FileToolRules.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

namespace qrv {

bool ListLabelEditAllowed(bool Permission, bool ClickEdits)
{
    return Permission || ClickEdits;
}

bool TreeLabelEditAllowed(bool Permission, bool ClickEdits, bool EditorModified)
{
    return !EditorModified && ListLabelEditAllowed(Permission, ClickEdits);
}

std::optional<std::wstring> RenamedViewerFile(const std::wstring& ViewerFile, const std::wstring& OldPath,
                                              const std::wstring& NewPath)
{
    if (ViewerFile.empty() || OldPath.empty())
        return std::nullopt;
    if (SameText(ViewerFile, OldPath))
        return NewPath;
    const std::wstring folder = AddBackslash(OldPath);
    if (ViewerFile.size() > folder.size() && SameText(std::wstring_view(ViewerFile).substr(0, folder.size()), folder))
        return AddBackslash(NewPath) + ViewerFile.substr(folder.size());
    return std::nullopt;
}

std::wstring RenameButtonHint(bool TreeFocused, int SelectedFiles)
{
    if (TreeFocused)
        return L"Verzeichnis umbenennen (F2)";
    return SelectedFiles < 2 ? L"Datei umbenennen (F2)" : L"Dateigruppe umbenennen (F2)";
}

TCopyMoveStart StartCopyMove(const TCopyMoveRequest& Request)
{
    TCopyMoveStart start;
    start.Effect = Request.Effect;
    const std::wstring verb = Request.Effect == deMove ? L"verschieben" : L"kopieren";
    switch (Request.Focus) {
    case TCopyMoveFocus::Tree:
        if (Request.TreeFolder.empty() && !Request.TreeShellItem)
            break;
        start.ThroughShell = Request.TreeFolder.empty();
        if (!start.ThroughShell)
            start.Sources = {Request.TreeFolder};
        start.Caption = L"Verzeichnis \"" + Request.TreeCaption + L"\" " + verb + L" nach";
        return start;
    case TCopyMoveFocus::List: {
        if (Request.Selected.empty())
            break;
        // A shell item without a place in the file system cannot be handed
        // to the file operation (its shown name is no path): the shell copies
        // it, or nothing does.
        const bool allPaths = std::all_of(Request.Selected.begin(), Request.Selected.end(),
                                          [](const TCopyMoveItem& Item) { return IsFullPath(Item.Path); });
        if (!allPaths && !Request.ShellCopies)
            break;
        start.ThroughShell = !allPaths;
        if (allPaths)
            for (const TCopyMoveItem& item : Request.Selected)
                start.Sources.push_back(item.Path);
        start.Caption = Request.Selected.size() == 1
                            ? L"Datei \"" + Request.Selected.front().Caption + L"\" " + verb + L" nach"
                            : std::to_wstring(Request.Selected.size()) + L" Dateien " + verb + L" nach";
        return start;
    }
    case TCopyMoveFocus::None:
        break;
    }
    start.Beep = true;
    return start;
}

TPastePlan PlanCopyMoveTo(const std::vector<std::wstring>& Sources, TDropEffect Effect, const std::wstring& Target,
                          const TPathTest& Exists, const TPathTest& IsDirectory)
{
    TDropConfirmations confirm;
    return PlanDrop(Sources, {}, Effect, Target, confirm, false, false, Exists, IsDirectory);
}

bool OtherWindowTargetAllowed(bool TwoWindows, bool HasSelection, const std::wstring& ActiveFolder,
                              const std::wstring& OtherFolder)
{
    return TwoWindows && HasSelection && !OtherFolder.empty() &&
           !SameText(RemoveBackslash(ActiveFolder), RemoveBackslash(OtherFolder));
}

void TRecentTargets::Add(const std::wstring& Folder)
{
    if (Folder.empty())
        return;
    const std::wstring key = RemoveBackslash(Folder);
    const auto older = std::find_if(folders_.begin(), folders_.end(),
                                    [&](const std::wstring& Known) { return SameText(RemoveBackslash(Known), key); });
    if (older != folders_.end())
        folders_.erase(older);
    folders_.insert(folders_.begin(), Folder);
}

std::wstring TargetDialogStart(const std::wstring& Given, const std::wstring& LastTarget,
                               const std::wstring& OtherFolder, const std::wstring& ActiveFolder,
                               const std::function<bool(const std::wstring&)>& Exists)
{
    if (!Given.empty() && Exists(Given))
        return Given;
    if (!LastTarget.empty() && Exists(LastTarget))
        return LastTarget;
    return OtherFolder.empty() ? ActiveFolder : OtherFolder;
}

namespace {

// The extension with its dot, upper-cased; empty when the name has none.
std::wstring UpperExtension(const std::wstring& FileName)
{
    const size_t dot = FileName.find_last_of(L".\\:");
    if (dot == std::wstring::npos || FileName[dot] != L'.')
        return std::wstring();
    return UpperCase(std::wstring_view(FileName).substr(dot));
}

}  // namespace

bool IsListedArchive(const std::wstring& FileName)
{
    const std::wstring ext = UpperExtension(FileName);
    for (const wchar_t* archive : {L".ZIP", L".RAR", L".JAR", L".CAB", L".ACE"})
        if (ext == archive)
            return true;
    return false;
}

TExecFileAction DecideExecFile(const std::wstring& FileName, bool ViewArchive, bool DisplayOn)
{
    if (UpperExtension(FileName) == L".SPLIT")
        return TExecFileAction::Join;
    if (ViewArchive && IsListedArchive(FileName) && !DisplayOn)
        return TExecFileAction::ShowArchive;
    return TExecFileAction::Start;
}

bool PrintOffered(int SelectedCount, const std::wstring& FileName,
                  const std::function<bool(const std::wstring& Extension)>& HasPrintVerb)
{
    const std::wstring ext = UpperExtension(FileName);
    return SelectedCount == 1 && ext.size() > 1 && ext.size() <= 8 && HasPrintVerb(ext);
}

std::wstring FormatFailureText(wchar_t Drive, bool CannotFormat)
{
    const std::wstring drive = std::wstring(1, static_cast<wchar_t>(towupper(Drive))) + L":";
    return CannotFormat ? L"Das Laufwerk " + drive + L" kann nicht formatiert werden."
                        : L"Das Formatieren von Laufwerk " + drive + L" ist fehlgeschlagen.";
}

}  // namespace qrv
