// The main window's side of the file commands: their actions, the keys of
// the folder tree and the file lists, and what the commands ask of the window.
// The keys are taken in the panes themselves, never as action shortcuts: a
// name editor, the text views and the command box keep Entf, Strg+C, Strg+V
// and the others.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "common/FileOperator.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

namespace {

bool HoldsFocus(TWinControl* Control)
{
    const HWND focus = GetFocus();
    return Control && focus && Control->HandleAllocated() &&
           (focus == Control->Handle() || IsChild(Control->Handle(), focus));
}

}  // namespace

void TQRVMain::ConnectFileCommands()
{
    TFileCommands& commands = *fileCommands_;
    auto make = [this](const wchar_t* name, const wchar_t* caption, std::function<void()> execute) {
        auto* action = new TAction(this, ActionList1);
        action->SetName(name);
        action->SetCaption(caption);
        action->OnExecute = [execute = std::move(execute)](TComponent*) { execute(); };
        return action;
    };
    make(L"NewDir", L"&Verzeichnis", [&commands] { commands.NewDir(); });
    make(L"NewFile", L"&Datei", [&commands] { commands.NewFile(); });
    make(L"NewLink", L"Ver&knüpfung", [&commands] { commands.NewLink(); });
    make(L"DeleteObject", L"&Löschen", [&commands] { commands.DeleteObject(); });
    make(L"DeleteObjectPhysical", L"Löschen &physisch", [&commands] { commands.DeleteObjectPhysical(); });
    make(L"EditObject", L"&Umbenennen\tF2", [&commands] { commands.EditObject(); });
    make(L"ClipBoardCopy", L"&Kopieren\tStrg+C", [&commands] { commands.ClipBoardCopy(false); });
    make(L"ClipBoardCut", L"&Ausschneiden\tStrg+X", [&commands] { commands.ClipBoardCopy(true); });
    make(L"ClipBoardPaste", L"&Einfügen\tStrg+V", [&commands] { commands.ClipBoardPaste(); });
    make(L"ClipBoardDelete", L"Z&wischenablage löschen", [&commands] { commands.ClipBoardDelete(); });
    make(L"FileUndo", L"&Rückgängig\tStrg+Z", [&commands] { commands.FileUndo(); });
    make(L"DOS", L"D&OS-Shell\tStrg+D", [&commands] { commands.DOS(); });
    make(L"FindDatei", L"Datei &suchen\tF3", [&commands] { commands.FindDatei(); });
    make(L"CreateShortCut", L"&Verknüpfung erstellen", [&commands] { commands.CreateShortCut(); });
    make(L"CreateShortCutClipBoard", L"Verkn&üpfung einfügen", [&commands] { commands.CreateShortCutClipBoard(); });
    // F5 is no text control's key: a plain shortcut.
    make(L"Aktualisieren", L"A&ktualisieren", [this] { Aktualisieren(); })->SetShortCut(VK_F5);
    make(L"SelectAll", L"A&lles auswählen\tStrg+A", [&commands] { commands.SelectAll(); });
    make(L"SelectInvert", L"Auswahl &invertieren\tStrg+I", [&commands] { commands.SelectInvert(); });
    make(L"ActExpand", L"&Erweitern\t+", [&commands] { commands.ActExpand(); });
    make(L"ActCollapse", L"&Komprimieren\t-", [&commands] { commands.ActCollapse(); });
    make(L"ActExpandAll", L"Alles e&rweitern\tShift +", [&commands] { commands.ActExpandAll(); });
    make(L"ActCollapseAll", L"Alles k&omprimieren\tShift -", [&commands] { commands.ActCollapseAll(); });
    make(L"Eigenschaften", L"E&igenschaften\tAlt+Eingabe", [&commands] { commands.Eigenschaften(); });
    const wchar_t* const styles[][2] = {{L"LargeIcons", L"&Große Symbole"},  {L"SmallIcons", L"&Kleine Symbole"},
                                        {L"IconListe", L"&Liste"},           {L"IconReport", L"&Detailliste"},
                                        {L"IconThumb", L"M&iniaturansicht"}, {L"IconTile", L"Ka&cheln"}};
    for (int style = 0; style < 6; ++style)
        viewStyleActions_.push_back(make(styles[style][0], styles[style][1], [this, style] { SetViewStyle(style); }));

    // The panes' keys; Alt combinations are the window's.
    auto keys = [](bool (TFileCommands::*handler)(WORD, bool, bool), TFileCommands& target) {
        return [handler, &target](TComponent*, uint16_t& Key, TShortCut Shift) {
            if (!(Shift & scAlt) && (target.*handler)(Key, (Shift & scShift) != 0, (Shift & scCtrl) != 0))
                Key = 0;
        };
    };
    TreeView1->OnKeyDown = keys(&TFileCommands::TreeKeyDown, commands);
    LV1->OnKeyDown = keys(&TFileCommands::ListKeyDown, commands);
    LV2->OnKeyDown = keys(&TFileCommands::ListKeyDown, commands);
    // A rename however started (key, command, slow click) can be undone.
    TreeView1->OnRenameEnd = [this](TComponent*, TTreeNode*) {
        if (TreeView1->FileOperator().UndoAvailable())
            fileCommands_->SetLastFileOperator(&TreeView1->FileOperator());
    };
    for (TDirView* list : {LV1, LV2})
        list->OnEndRename = [this, list](TComponent*, TFileRec&, const std::wstring&) {
            if (list->FileOperator().UndoAvailable())
                fileCommands_->SetLastFileOperator(&list->FileOperator());
        };
}

bool TQRVMain::TextControlFocused()
{
    return HoldsFocus(TextView) || HoldsFocus(EasyEdit) || HoldsFocus(CmdLineBox) || HoldsFocus(DirHist1) ||
           HoldsFocus(DirHist2) || HoldsFocus(HexEditor1);
}

// Until the window's own text commands come, the focused control carries
// out the clipboard messages itself; it has no search to start.
void TQRVMain::TextCopy(bool Cut)
{
    SendMessageW(GetFocus(), Cut ? WM_CUT : WM_COPY, 0, 0);
}

void TQRVMain::TextPaste()
{
    SendMessageW(GetFocus(), WM_PASTE, 0, 0);
}

void TQRVMain::TextFind()
{
    MessageBeep(MB_ICONHAND);
}

TDirView* TQRVMain::OtherFileList()
{
    if (!FilePanel2 || !FilePanel2->Visible())
        return nullptr;
    return ActiveList == LV2 ? LV1 : LV2;
}

bool TQRVMain::ArchiveListSelect(bool Invert)
{
    if (!HoldsFocus(ZipLV))
        return false;
    Invert ? ZipLV->InvertSelection() : ZipLV->SelectAll();
    return true;
}

std::wstring TQRVMain::ComSpec()
{
    return ComSpecPath;
}

void TQRVMain::SetViewStyle(int Style)
{
    if (!ActiveList || LV1->Loading() || LV2->Loading())
        return;
    const auto style = static_cast<TViewStyleEx>(Style);
    ActiveList->SetViewStyleEx(style);
    if (Options.SyncDisplay)
        (ActiveList == LV1 ? LV2 : LV1)->SetViewStyleEx(style);
    UpdateViewStyleActions();
}

void TQRVMain::UpdateViewStyleActions()
{
    if (!ActiveList)
        return;
    const int current = static_cast<int>(ActiveList->ViewStyleEx());
    for (size_t style = 0; style < viewStyleActions_.size(); ++style)
        viewStyleActions_[style]->SetChecked(static_cast<int>(style) == current);
}

}  // namespace qrv
