// The main window's side of the file commands: their actions and what the
// commands ask of the window. Their keys are never action shortcuts: the
// window's key table (WindowKeys.h) starts them where the focus allows, so
// that a name editor, the text views and the command box keep Entf, Strg+C,
// Strg+V and the others.

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
    using A = TActionId;
    auto on = [this](TActionId Id, std::function<void()> Execute) { catalogue_.Register(Id, std::move(Execute)); };
    on(A::NewDir, [&commands] { commands.NewDir(); });
    on(A::NewFile, [&commands] { commands.NewFile(); });
    on(A::NewLink, [&commands] { commands.NewLink(); });
    on(A::DeleteObject, [&commands] { commands.DeleteObject(); });
    on(A::DeleteObjectPhysical, [&commands] { commands.DeleteObjectPhysical(); });
    on(A::EditObject, [&commands] { commands.EditObject(); });
    on(A::ClipBoardCopy, [&commands] { commands.ClipBoardCopy(false); });
    on(A::ClipBoardCut, [&commands] { commands.ClipBoardCopy(true); });
    on(A::ClipBoardPaste, [&commands] { commands.ClipBoardPaste(); });
    on(A::ClipBoardDelete, [&commands] { commands.ClipBoardDelete(); });
    on(A::FileUndo, [&commands] { commands.FileUndo(); });
    on(A::DOS, [&commands] { commands.DOS(); });
    on(A::FindDatei, [&commands] { commands.FindDatei(); });
    on(A::CreateShortCut, [&commands] { commands.CreateShortCut(); });
    on(A::CreateShortCutClipBoard, [&commands] { commands.CreateShortCutClipBoard(); });
    on(A::Aktualisieren, [this] { Aktualisieren(); });
    on(A::SelectAll, [&commands] { commands.SelectAll(); });
    on(A::SelectInvert, [&commands] { commands.SelectInvert(); });
    on(A::ActExpand, [&commands] { commands.ActExpand(); });
    on(A::ActCollapse, [&commands] { commands.ActCollapse(); });
    on(A::ActExpandAll, [&commands] { commands.ActExpandAll(); });
    on(A::ActCollapseAll, [&commands] { commands.ActCollapseAll(); });
    on(A::Eigenschaften, [&commands] { commands.Eigenschaften(); });
    const TActionId styles[] = {A::LargeIcons, A::SmallIcons, A::IconListe, A::IconReport, A::IconThumb, A::IconTile};
    for (int style = 0; style < 6; ++style) {
        on(styles[style], [this, style] { SetViewStyle(style); });
        viewStyleActions_.push_back(commandMenus_->Action(styles[style]));
    }
}

bool TQRVMain::TextControlFocused()
{
    return HoldsFocus(TextView) || HoldsFocus(EasyEdit) || HoldsFocus(DOSCmdBox) || HoldsFocus(DirHist1) ||
           HoldsFocus(DirHist2) || HoldsFocus(HexEditor1);
}

// The clipboard keys, the search and the undo of a focused text are the
// text commands'.
void TQRVMain::TextCopy(bool Cut)
{
    Cut ? textCommands_->Commands().Cut() : textCommands_->Commands().Copy();
}

void TQRVMain::TextPaste()
{
    textCommands_->Commands().Paste();
}

bool TQRVMain::TextUndo()
{
    return textCommands_->Commands().UndoText();
}

void TQRVMain::TextFind()
{
    textCommands_->Commands().Search();
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
