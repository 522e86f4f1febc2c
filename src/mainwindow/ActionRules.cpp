#include "mainwindow/ActionRules.h"

namespace qrv {

namespace {

using F = TActionFocus;

class TRuleSink {
public:
    explicit TRuleSink(TActionStates& Out) : out_(Out) {}
    bool Enable(const wchar_t* Name, bool Enabled)
    {
        out_.States[Name].Enabled = Enabled;
        return Enabled;
    }
    void Check(const wchar_t* Name, bool Checked)
    {
        auto& state = out_.States[Name];
        state.Enabled = true;
        state.Checked = Checked;
        state.Checkable = true;
    }

private:
    TActionStates& out_;
};

bool TextFocused(const TActionInput& In)
{
    return In.Focus == F::TextView || In.Focus == F::Editor;
}

// Whether the text undo applies: the focused, visible text can undo.
bool TextUndoPossible(const TActionInput& In)
{
    if (In.Focus == F::TextView)
        return In.TextViewVisible && In.TextViewCanUndo;
    if (In.Focus == F::Editor)
        return In.EditorVisible && In.EditorCanUndo && !In.EditorReadOnly;
    return false;
}

bool FileUndoPossible(const TActionInput& In)
{
    return In.LastOperation != TUndoKind::None && In.LastOperationCanUndo;
}

void FileRules(const TActionInput& In, TRuleSink& S)
{
    const bool treeFocused = In.Focus == F::Tree;
    const bool listFocused = In.Focus == F::List;
    const bool archiveFocused = In.Focus == F::ArchiveList;
    const bool belowDrive = In.Node && !In.Root;

    const bool properties =
        S.Enable(L"Eigenschaften", (treeFocused && In.Node) || (listFocused && In.Item && !In.FullPath));
    const bool newDir = S.Enable(L"NewDir", In.Drive && In.Place && !In.FullPath);
    S.Enable(L"mnuNew", newDir);
    S.Enable(L"mnuPopupNew", newDir);
    const bool newFile = S.Enable(L"NewFile", newDir && !In.FullPath);
    S.Enable(L"CreateShortCut", properties && newFile);

    const bool physical = S.Enable(L"DeleteObjectPhysical",
                                   In.Place && ((treeFocused && In.Drive && !In.Root) || (listFocused && In.Item) ||
                                                (archiveFocused && In.ArchiveOpen && In.ArchiveSelected > 0)));
    S.Enable(L"DeleteObject", physical && !In.FullPath && !archiveFocused);

    S.Enable(L"EditObject",
             !In.FullPath && ((treeFocused && In.Drive && !In.Root && In.NodeIsFileSystemFolder) ||
                              (listFocused && In.Item && !In.Virtual && !In.FirstSelectedIsParent && In.Drive)));
    S.Enable(L"FileVerify", In.Item && In.Place);
    S.Enable(L"DirUp", In.Node && In.Parent);

    S.Enable(L"SwapWindows", In.SecondWindowShown);
    S.Enable(L"EqualizeWindows", In.SecondWindowShown);
    S.Enable(L"FileCompare", In.Item && In.Place && In.FirstSelectedIsFile);
    S.Enable(L"FileWinCompare", In.Place && In.ListLoadedFolder && In.ListCount > 0);

    const bool listSelection = In.ListSelected > 0;
    const bool copyTo =
        S.Enable(L"CopyTo", (In.Place && listSelection && !In.FullPath) || (archiveFocused && In.ArchiveSelected > 0) ||
                                (treeFocused && !In.FullPath && belowDrive));
    S.Enable(L"MoveTo", In.Place && ((copyTo && !archiveFocused) || (In.FullPath && listSelection)));
    for (const wchar_t* name : {L"ClipBoard_asTextFileName", L"ClipBoard_asTextFileNameDOS",
                                L"ClipBoard_asTextFilePath", L"ClipBoard_asTextFilePathDOS"})
        S.Enable(name, listSelection);
    const bool open = S.Enable(L"OpenFile", !In.Virtual && listSelection);
    S.Enable(L"FileOpenWith", open);
    S.Enable(L"DuplicateFile", In.Place && ((treeFocused && belowDrive) || (open && listFocused && !In.FullPath)));
}

void ViewerRules(const TActionInput& In, TRuleSink& S)
{
    const bool textShown = In.TextViewVisible || In.EditorVisible;
    S.Enable(L"TextSelectAll", textShown);
    const bool modified = (In.TextViewVisible && In.TextViewModified) || (In.EditorVisible && In.EditorModified) ||
                          (In.HexViewVisible && In.HexViewModified);
    S.Enable(L"TextFileSave", modified);
    S.Enable(L"btnSaveTextFile", modified || In.EmbeddedDocumentShown || (In.HexViewModified && !In.HexViewOnly));

    S.Check(L"DispAuto", In.ForcedDisplayMode == 0);
    S.Check(L"DispHex", In.ForcedDisplayMode == 1);
    S.Check(L"DispText", In.ForcedDisplayMode == 2);
    S.Enable(L"WordWrap", textShown);
    S.Enable(L"btnWordWrap", textShown);
    S.Enable(L"AlignPicture", In.PictureVisible);
}

void CommandLineRules(const TActionInput& In, TRuleSink& S)
{
    if (In.CommandToolbarShown) {
        const bool names = In.Place && In.Item && !In.FirstSelectedIsParent;
        S.Enable(L"DOSDateiAlles", names);
        S.Enable(L"DOSDateiName", names);
    }
    S.Enable(L"DOSPfad", In.Place && In.Node);
    S.Enable(L"DOSAusfuehren", In.Place && In.CommandBoxHasText);
    S.Enable(L"DOS", In.Place);
}

void ClipboardRules(const TActionInput& In, TRuleSink& S)
{
    // The clipboard is only asked while a control that can paste is near.
    const bool ask = In.Focus == F::Tree || In.Focus == F::List || In.TextViewEnabled || In.Focus == F::HistoryBox ||
                     In.CommandBoxEnabled;
    const bool textTarget = (In.Focus == F::TextView && !In.TextViewReadOnly) ||
                            (In.Focus == F::Editor && !In.EditorReadOnly) || In.Focus == F::CommandBox ||
                            In.Focus == F::HistoryBox;
    const bool textPaste = ask && In.ClipboardHasText && textTarget;
    const bool filePaste = ask && In.ClipboardHasFiles && !In.Virtual && (In.Focus == F::List || In.Focus == F::Tree);
    S.Enable(L"ClipBoardPaste", textPaste || filePaste);
    S.Enable(L"ClipBoardDelete", textPaste || filePaste);
    S.Enable(L"CreateShortCutClipBoard", filePaste);

    bool copy = false;
    if (!In.Virtual && (In.Focus == F::Tree || (In.Focus == F::List && In.ListSelected > 0 && !In.FullPath)))
        copy = true;
    else if (In.Focus == F::TextView)
        copy = In.TextViewHasSelection;
    else if (In.Focus == F::Editor)
        copy = In.EditorHasSelection;
    else if (In.Focus == F::CommandBox)
        copy = In.CommandBoxHasText;
    else if (In.Focus == F::HistoryBox)
        copy = In.HistoryBoxHasText;
    else if (In.Focus == F::HexView)
        copy = true;
    S.Enable(L"ClipBoardCopy", copy);
    const bool readOnlyText =
        (In.Focus == F::TextView && In.TextViewReadOnly) || (In.Focus == F::Editor && In.EditorReadOnly);
    S.Enable(L"ClipBoardCut", copy && In.Focus != F::HexView && !readOnlyText);
}

void SelectionRules(const TActionInput& In, TRuleSink& S)
{
    const bool archive = In.Focus == F::ArchiveList;
    const int count = archive ? In.ArchiveCount : In.ListCount;
    const int selected = archive ? In.ArchiveSelected : In.ListSelected;
    S.Enable(L"SelectAll", count > 0 && !In.Virtual);
    S.Enable(L"SelectInvert", count > 0 && !In.Virtual);
    S.Enable(L"SelectUnselect", selected > 0 && !In.Virtual);
    S.Enable(L"SelectSeveral", selected < count && !In.Virtual);
    // Selecting by filter works on file lists only.
    S.Enable(L"SelectFiles", !archive && !In.Virtual);

    S.Enable(L"GoPrev", In.HistoryIndex < In.HistoryCount - 1);
    S.Enable(L"GoNext", In.HistoryIndex > 0 && In.HistoryCount > 0);
}

void TreeRules(const TActionInput& In, TRuleSink& S)
{
    S.Enable(L"ActExpand", In.Node && In.NodeHasChildren && !In.NodeExpanded);
    S.Enable(L"ActCollapse", In.Node && In.NodeHasChildren && In.NodeExpanded);
    S.Enable(L"FindDlg", In.Node && In.TreeVisible && !In.DriveBoxOnNetwork);
    const bool findFile = S.Enable(L"FindDatei", In.Node && !In.Virtual);
    S.Enable(L"btnFindDatei", findFile || In.Focus == F::TextView);
    S.Enable(L"StdDirAdd", In.Node);
    S.Enable(L"StdDirEdit", In.BookmarkCount > 0);
}

void UndoRules(const TActionInput& In, TRuleSink& S)
{
    if (TextFocused(In)) {
        const bool text = S.Enable(L"TextUndo", TextUndoPossible(In));
        S.Enable(L"FileUndo", text);
    } else {
        S.Enable(L"TextUndo", false);
        S.Enable(L"FileUndo", FileUndoPossible(In));
    }
}

}  // namespace

bool TActionStates::Enabled(const std::wstring& Name) const
{
    const auto it = States.find(Name);
    return it != States.end() && it->second.Enabled;
}

bool TActionStates::Checked(const std::wstring& Name) const
{
    const auto it = States.find(Name);
    return it != States.end() && it->second.Checked;
}

TActionStates ComputeActionStates(const TActionInput& In)
{
    TActionStates out;
    TRuleSink sink(out);
    FileRules(In, sink);
    ViewerRules(In, sink);
    CommandLineRules(In, sink);
    ClipboardRules(In, sink);
    SelectionRules(In, sink);
    TreeRules(In, sink);
    UndoRules(In, sink);
    out.UndoWord = UndoWordFor(In);
    return out;
}

const std::vector<std::wstring>& FeaturesNotOffered()
{
    static const std::vector<std::wstring> names{L"ShredFile",
                                                 L"SendFile",
                                                 L"SyncDir",
                                                 L"btnSyncDir",
                                                 L"btnSendMail",
                                                 L"EditGroup",
                                                 L"ShowFSMonitor",
                                                 L"btnThumb",
                                                 L"IconThumb",
                                                 L"ArchiveNew",
                                                 L"Archiv1",
                                                 L"ArchiveDivider",
                                                 L"Archivfilter1",
                                                 L"mnShowToolbarArchive",
                                                 L"MenuToolbarArchive2",
                                                 L"HexEditFile",
                                                 L"btnDateTime",
                                                 L"EditDateTime",
                                                 L"N1",
                                                 L"PrintDir"};
    return names;
}

std::wstring UndoWordFor(const TActionInput& In)
{
    if (TextFocused(In))
        return TextUndoPossible(In) ? L"Textänderung" : L"";
    if (!FileUndoPossible(In))
        return L"";
    switch (In.LastOperation) {
    case TUndoKind::Copy:
        return L"kopieren";
    case TUndoKind::Move:
        return L"verschieben";
    case TUndoKind::Rename:
        return L"umbenennen";
    default:
        return L"";
    }
}

std::wstring UndoHint(const std::wstring& Word)
{
    std::wstring hint = L"R&ückgängig " + Word + L" (Strg+Z)";
    std::erase(hint, L'&');
    return hint;
}

std::wstring UndoCaption(const std::wstring& Word)
{
    return L"R&ückgängig " + Word;
}

std::wstring UndoMenuCaption(const std::wstring& Word)
{
    return UndoCaption(Word) + L"\tStrg+Z";
}

std::wstring NextHistoryHint(const std::wstring& NextEntry)
{
    if (NextEntry.empty())
        return L"Weiter zum nächsten Verzeichnis (Alt+Rechts)";
    return L"Weiter zu \"" + NextEntry + L"\" (Alt+Rechts)";
}

std::wstring PreviousHistoryHint(const std::wstring& PreviousEntry)
{
    if (PreviousEntry.empty())
        return L"Zurück zum vorigen Verzeichnis (Alt+Links)";
    return L"Zurück zu \"" + PreviousEntry + L"\" (Alt+Links)";
}

}  // namespace qrv
