#include "mainwindow/win/WindowKeysLink.h"

#include "archives/win/KyZipLV.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/UserCommands.h"
#include "mainwindow/win/CommandMenus.h"
#include "mainwindow/win/UserCommandRunner.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"

#include <commctrl.h>

namespace qrv {

namespace {

bool Holds(TWinControl* Control, HWND Focus)
{
    return Control && Focus && Control->HandleAllocated() &&
           (Focus == Control->Handle() || IsChild(Control->Handle(), Focus));
}

bool Showing(TWinControl* Control)
{
    return Control && Control->HandleAllocated() && IsWindowVisible(Control->Handle());
}

bool ListEditsName(TDirView* List)
{
    return List && List->HandleAllocated() && SendMessageW(List->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

uint16_t AssignedKeys(const std::array<TFKeyRecord, 12>& Set)
{
    uint16_t keys = 0;
    for (size_t key = 0; key < Set.size(); ++key)
        if (IsAssigned(Set[key]))
            keys |= static_cast<uint16_t>(1U << key);
    return keys;
}

void DropDown(TWinControl* Box)
{
    if (!Showing(Box))
        return;
    Box->SetFocus();
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
}

}  // namespace

TWindowKeysLink::TWindowKeysLink(const TMainPanes& Panes, const TActionCatalogue& Catalogue, const TCommandMenus& Menus,
                                 TUserCommands& UserCommands, const TOptions& Options, TWindowKeysParts Parts)
    : panes_(Panes), catalogue_(Catalogue), menus_(Menus), userCommands_(UserCommands), options_(Options),
      parts_(std::move(Parts))
{
    if (TForm* form = parts_.Form) {
        form->KeyPreview = true;
        form->OnKeyDown = [this](TComponent*, uint16_t& Key, TShortCut Shift) { keys_.KeyDown(Key, Shift); };
        form->OnKeyUp = [this](TComponent*, uint16_t& Key, TShortCut Shift) { keys_.KeyUp(Key, Shift); };
        form->OnKeyPress = [this](TComponent*, wchar_t& Char) { keys_.KeyPress(Char); };
    }
}

bool TWindowKeysLink::Enabled(TActionId Id) const
{
    const TAction* action = menus_.Action(Id);
    return action && action->Enabled() && action->Visible();
}

TKeyFocus TWindowKeysLink::FocusKind()
{
    const HWND focus = GetFocus();
    if (Holds(panes_.LV1, focus))
        return TKeyFocus::List1;
    if (Holds(panes_.LV2, focus))
        return TKeyFocus::List2;
    if (Holds(panes_.TreeView1, focus))
        return TKeyFocus::Tree;
    if (Holds(panes_.ZipLV, focus))
        return TKeyFocus::ArchiveList;
    if (Holds(panes_.TextView, focus))
        return TKeyFocus::TextView;
    if (Holds(panes_.HexEditor1, focus))
        return TKeyFocus::HexView;
    if (Holds(panes_.EasyEdit, focus))
        return TKeyFocus::Editor;
    if (Holds(panes_.ScrollBox1, focus))
        return TKeyFocus::Picture;
    if (Holds(parts_.CommandBox, focus))
        return TKeyFocus::CommandBox;
    if (Holds(panes_.DirHist1, focus))
        return TKeyFocus::HistoryBox1;
    if (Holds(panes_.DirHist2, focus))
        return TKeyFocus::HistoryBox2;
    if (Holds(parts_.DriveBox, focus))
        return TKeyFocus::DriveBox;
    return TKeyFocus::Other;
}

bool TWindowKeysLink::NameEditing()
{
    return (panes_.TreeView1 && panes_.TreeView1->IsEditing()) || ListEditsName(panes_.LV1) ||
           ListEditsName(panes_.LV2);
}

TMainKeyState TWindowKeysLink::KeyState()
{
    TMainKeyState state;
    state.Focus = FocusKind();
    state.NameEditing = NameEditing();
    TDirView* list = panes_.ActiveList;
    state.VirtualFolder = list && list->IsVirtual();
    state.ListSelection = list && list->SelCount() > 0;
    state.HistoryBoxShown = Showing(panes_.ActiveHistory);
    state.DriveBoxShown = Showing(parts_.DriveBox);
    state.CommandLineShown = Showing(parts_.CommandBox);
    const TTreeNode* node = panes_.TreeView1 ? panes_.TreeView1->Selected() : nullptr;
    state.TreeNodeBelowDrive = node && node->Level() > 0;
    using A = TActionId;
    state.TextUndoEnabled = Enabled(A::TextUndo);
    state.FileUndoEnabled = Enabled(A::FileUndo);
    state.CanGoBack = Enabled(A::GoPrev);
    state.CanGoForward = Enabled(A::GoNext);
    state.ShiftCommands = AssignedKeys(options_.FKeys[kShiftSet]);
    state.CtrlCommands = AssignedKeys(options_.FKeys[kCtrlSet]);
    state.NewDirEnabled = Enabled(A::NewDir);
    state.NewFileEnabled = Enabled(A::NewFile);
    state.DeleteEnabled = Enabled(A::DeleteObject);
    state.DeletePhysicalEnabled = Enabled(A::DeleteObjectPhysical);
    state.FindFileEnabled = Enabled(A::FindDatei);
    return state;
}

bool TWindowKeysLink::RefreshStates()
{
    return parts_.RunDueActionPass && parts_.RunDueActionPass();
}

bool TWindowKeysLink::RunCommand(TActionId Id)
{
    return catalogue_.Execute(Id);
}

void TWindowKeysLink::RunUserCommand(int Key, int Set)
{
    userCommands_.RunFunctionKeyCommand(Key, Set);
}

void TWindowKeysLink::ShowFunctionKeySet(int Set)
{
    userCommands_.ShowFunctionKeyLabels(Set, false);
}

void TWindowKeysLink::DropDownHistory()
{
    DropDown(panes_.ActiveHistory);
}

void TWindowKeysLink::DropDownDriveBox()
{
    DropDown(parts_.DriveBox);
}

HWND TWindowKeysLink::FocusedWindow()
{
    return GetFocus();
}

void TWindowKeysLink::FocusCommandBox()
{
    if (Showing(parts_.CommandBox))
        parts_.CommandBox->SetFocus();
}

bool TWindowKeysLink::FocusWindow(HWND Window)
{
    if (!IsWindow(Window) || !IsWindowVisible(Window) || !IsWindowEnabled(Window))
        return false;
    SetFocus(Window);
    return GetFocus() == Window;
}

void TWindowKeysLink::FocusActiveList()
{
    if (Showing(panes_.ActiveList))
        panes_.ActiveList->SetFocus();
}

void TWindowKeysLink::Beep()
{
    MessageBeep(MB_OK);
}

}  // namespace qrv
