#include "mainwindow/ActionRules.h"

#include <stdexcept>

namespace qrv {

namespace {

using F = TActionFocus;
using A = TActionId;

class TRuleSink {
public:
    explicit TRuleSink(TActionStates& Out) : out_(Out) {}
    bool Enable(TActionId Id, bool Enabled)
    {
        out_.States[Id].Enabled = Enabled;
        return Enabled;
    }
    void Check(TActionId Id, bool Checked)
    {
        auto& state = out_.States[Id];
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
        S.Enable(A::Eigenschaften, (treeFocused && In.Node) || (listFocused && In.Item && !In.FullPath));
    const bool newDir = S.Enable(A::NewDir, In.Drive && In.Place && !In.FullPath);
    const bool newFile = S.Enable(A::NewFile, newDir && !In.FullPath);
    S.Enable(A::CreateShortCut, properties && newFile);

    const bool physical = S.Enable(A::DeleteObjectPhysical,
                                   In.Place && ((treeFocused && In.Drive && !In.Root) || (listFocused && In.Item) ||
                                                (archiveFocused && In.ArchiveOpen && In.ArchiveSelected > 0)));
    S.Enable(A::DeleteObject, physical && !In.FullPath && !archiveFocused);

    S.Enable(A::EditObject,
             !In.FullPath && ((treeFocused && In.Drive && !In.Root && In.NodeIsFileSystemFolder) ||
                              (listFocused && In.Item && !In.Virtual && !In.FirstSelectedIsParent && In.Drive)));
    S.Enable(A::FileVerify, In.Item && In.Place);
    S.Enable(A::DirUp, In.Node && In.Parent);
    S.Enable(A::DirRoot, In.Node && In.Parent);

    S.Enable(A::SwapWindows, In.SecondWindowShown);
    S.Enable(A::EqualizeWindows, In.SecondWindowShown);
    S.Enable(A::FileCompare, In.Item && In.Place && In.FirstSelectedIsFile);
    S.Enable(A::FileWinCompare, In.Place && In.ListLoadedFolder && In.ListCount > 0);

    const bool listSelection = In.ListSelected > 0;
    const bool copyTo =
        S.Enable(A::CopyTo, (In.Place && listSelection && !In.FullPath) || (archiveFocused && In.ArchiveSelected > 0) ||
                                (treeFocused && !In.FullPath && belowDrive));
    S.Enable(A::MoveTo, In.Place && ((copyTo && !archiveFocused) || (In.FullPath && listSelection)));
    for (const TActionId id : {A::CopyFileNames, A::CopyFileNamesDos, A::CopyFilePaths, A::CopyFilePathsDos})
        S.Enable(id, listSelection);
    for (const TActionId id : {A::CopyDirPath, A::CopyDirPathDos})
        S.Enable(id, In.Node);
    const bool open = S.Enable(A::OpenFile, !In.Virtual && listSelection);
    S.Enable(A::FileOpenWith, open);
    S.Enable(A::DuplicateFile, In.Place && ((treeFocused && belowDrive) || (open && listFocused && !In.FullPath)));
}

void ViewerRules(const TActionInput& In, TRuleSink& S)
{
    const bool textShown = In.TextViewVisible || In.EditorVisible;
    const bool modified = (In.TextViewVisible && In.TextViewModified) || (In.EditorVisible && In.EditorModified) ||
                          (In.HexViewVisible && In.HexViewModified);
    S.Enable(A::TextFileSave, modified);
    S.Enable(A::SaveTextFileButton, modified || In.EmbeddedDocumentShown || (In.HexViewModified && !In.HexViewOnly));

    S.Check(A::DispAuto, In.ForcedDisplayMode == 0);
    S.Check(A::DispHex, In.ForcedDisplayMode == 1);
    S.Check(A::DispText, In.ForcedDisplayMode == 2);
    S.Enable(A::WordWrap, textShown);
    S.Enable(A::WordWrapButton, textShown);
    S.Enable(A::AlignPicture, In.PictureVisible);
}

void CommandLineRules(const TActionInput& In, TRuleSink& S)
{
    if (In.CommandToolbarShown) {
        const bool names = In.Place && In.Item && !In.FirstSelectedIsParent;
        S.Enable(A::CommandLineAllNames, names);
        S.Enable(A::CommandLineName, names);
    }
    S.Enable(A::CommandLinePath, In.Place && In.Node);
    S.Enable(A::CommandLineRun, In.Place && In.CommandBoxHasText);
    S.Enable(A::DOS, In.Place);
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
    S.Enable(A::ClipBoardPaste, textPaste || filePaste);
    S.Enable(A::ClipBoardDelete, textPaste || filePaste);
    S.Enable(A::CreateShortCutClipBoard, filePaste);

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
    S.Enable(A::ClipBoardCopy, copy);
    const bool readOnlyText =
        (In.Focus == F::TextView && In.TextViewReadOnly) || (In.Focus == F::Editor && In.EditorReadOnly);
    S.Enable(A::ClipBoardCut, copy && In.Focus != F::HexView && !readOnlyText);
}

void SelectionRules(const TActionInput& In, TRuleSink& S)
{
    const bool archive = In.Focus == F::ArchiveList;
    const int count = archive ? In.ArchiveCount : In.ListCount;
    const int selected = archive ? In.ArchiveSelected : In.ListSelected;
    S.Enable(A::SelectAll, count > 0 && !In.Virtual);
    S.Enable(A::SelectInvert, count > 0 && !In.Virtual);
    S.Enable(A::SelectUnselect, selected > 0 && !In.Virtual);
    S.Enable(A::SelectSeveral, selected < count && !In.Virtual);
    // Selecting by filter works on file lists only.
    S.Enable(A::SelectFiles, !archive && !In.Virtual);

    S.Enable(A::GoPrev, In.HistoryIndex < In.HistoryCount - 1);
    S.Enable(A::GoNext, In.HistoryIndex > 0 && In.HistoryCount > 0);
}

void TreeRules(const TActionInput& In, TRuleSink& S)
{
    S.Enable(A::ActExpand, In.Node && In.NodeHasChildren && !In.NodeExpanded);
    S.Enable(A::ActCollapse, In.Node && In.NodeHasChildren && In.NodeExpanded);
    S.Enable(A::FindDlg, In.Node && In.TreeVisible && !In.DriveBoxOnNetwork);
    const bool findFile = S.Enable(A::FindDatei, In.Node && !In.Virtual);
    S.Enable(A::FindDateiButton, findFile || In.Focus == F::TextView);
    // Only a folder of the file system can be a bookmark.
    S.Enable(A::StdDirAdd, In.Node && In.NodeIsFileSystemFolder);
    S.Enable(A::StdDirEdit, In.BookmarkCount > 0);
}

void SplitFileRules(const TActionInput& In, TRuleSink& S)
{
    const bool file = In.Item && In.FirstSelectedIsFile;
    const bool combine = S.Enable(A::CombineFile, file && In.FirstSelectedIsSplitPart);
    S.Enable(A::SplitFile, file && !combine);
}

void CreateFileListRules(const TActionInput& In, TRuleSink& S)
{
    S.Enable(A::CreateFileList, !(In.ListItems <= 1 && (In.ListNoFolderContents || In.ListItems == 0)));
}

void UndoRules(const TActionInput& In, TRuleSink& S)
{
    // A focused text's change is undone first, then the last file operation.
    const bool undo = (TextFocused(In) && TextUndoPossible(In)) || FileUndoPossible(In);
    S.Enable(A::TextUndo, undo);
    S.Enable(A::FileUndo, undo);
}

// The display pane's text and hex commands.
void TextCommandRules(const TActionInput& In, TRuleSink& S)
{
    const bool combo = In.Focus == F::CommandBox || In.Focus == F::HistoryBox;
    bool copy = false;
    if (In.Focus == F::TextView)
        copy = In.TextViewHasSelection;
    else if (In.Focus == F::Editor)
        copy = In.EditorHasSelection;
    else if (combo)
        copy = In.ComboHasSelection;
    else if (In.Focus == F::HexView)
        copy = In.HexViewHasSelection;
    const bool writableFocus =
        (In.Focus == F::TextView && !In.TextViewReadOnly) || (In.Focus == F::Editor && !In.EditorReadOnly) || combo;
    S.Enable(A::TextCopy, copy);
    S.Enable(A::TextCut, copy && writableFocus);
    S.Enable(A::TextDelete, copy && writableFocus);
    S.Enable(A::TextPaste, In.ClipboardHasText && writableFocus);
    S.Enable(A::TextSelectAll, In.Focus == F::TextView || In.Focus == F::Editor || combo);

    const bool writableView = In.TextViewVisible && !In.TextViewReadOnly;
    const bool writableEditor = In.EditorVisible && !In.EditorReadOnly;
    const bool searchable = In.TextViewVisible || In.HexViewVisible || In.EditorVisible;
    S.Enable(A::TextSearch, searchable);
    S.Enable(A::TextSearchNext, searchable);
    S.Enable(A::TextReplace, writableView || writableEditor);
    S.Enable(A::TextSort, (writableView && In.TextViewHasSelection) || (writableEditor && In.EditorHasSelection));

    const bool textShown = In.TextViewVisible || In.EditorVisible;
    S.Enable(A::TextCRLF, textShown);
    S.Enable(A::TextLF, textShown);
    S.Enable(A::TextAnsi, In.EditorVisible);
    S.Enable(A::TextUnicode, In.EditorVisible);
    S.Enable(A::TextShowRulers, In.EditorVisible);
    S.Enable(A::TextMarkColumn, In.EditorVisible && !In.EditorWordWrap);
    S.Check(A::DispHexButton, In.ForcedDisplayMode == 1);
    S.Check(A::DispTextButton, In.ForcedDisplayMode == 2);
}

}  // namespace

bool TActionStates::Enabled(TActionId Id) const
{
    const auto it = States.find(Id);
    return it != States.end() && it->second.Enabled;
}

bool TActionStates::Checked(TActionId Id) const
{
    const auto it = States.find(Id);
    return it != States.end() && it->second.Checked;
}

TActionId TActionStates::IdOf(std::wstring_view Name)
{
    const std::optional<TActionId> id = FindActionId(Name);
    if (!id)
        throw std::invalid_argument("action states: a name no command has");
    return *id;
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
    TextCommandRules(In, sink);
    SplitFileRules(In, sink);
    CreateFileListRules(In, sink);
    out.UndoWord = UndoWordFor(In);
    return out;
}

const std::vector<std::wstring>& FeaturesNotOffered()
{
    static const std::vector<std::wstring> names = [] {
        std::vector<std::wstring> offeredNot;
        for (const TActionRow& row : ActionRows())
            if (!row.Offered)
                offeredNot.emplace_back(row.Name);
        return offeredNot;
    }();
    return names;
}

std::wstring UndoWordFor(const TActionInput& In)
{
    if (TextFocused(In) && TextUndoPossible(In))
        return L"Textänderung";
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
