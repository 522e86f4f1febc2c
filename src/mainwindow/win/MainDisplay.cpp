// The main window's side of the file display: the panes handed to
// TFileDisplay, the file lists' events, the posted display messages and what
// the display asks of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Image.h"
#include "archives/win/KyZipLV.h"
#include "common/FileOperator.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/TextCommandRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "widgets/win/KySplit.h"

namespace qrv {

void TQRVMain::ConnectFileDisplay()
{
    fileDisplay_ = std::make_unique<TFileDisplay>(Panes(), Services(), static_cast<TFileDisplayHost&>(*this));
    converterCalls_ = std::make_unique<TPictureConverterCalls>();
    converterCalls_->Path = [this] { return Options.IrfanViewPath; };
    converterCalls_->Owner = [this] { return HandleAllocated() ? Handle() : nullptr; };
    converterCalls_->Mutex = [this] { return converterMutex_.get(); };
    converterCalls_->Folder = [this] { return ProgramDir; };
    converterCalls_->Messages = [] { Application->ProcessMessages(); };
    pictureConverter_ = std::make_unique<TPictureConverter>(*converterCalls_);
    fileDisplay_->SetPictureConverter(pictureConverter_.get());
    listThumbnails_ =
        std::make_unique<TListThumbnails>(Options, pictureConverter_.get(), [this] { return Terminating(); });
    for (TDirView* list : {LV1, LV2})
        if (list)
            list->OnGetPicture = [this, list](TComponent*, const std::wstring& FileName,
                                              const std::shared_ptr<void>& PIDL, TPicture& Picture) {
                listThumbnails_->GetPicture(*list, FileName, PIDL, Picture);
            };
    listWorkCalls_.First = [this] { return LV1; };
    listWorkCalls_.Second = [this] { return LV2; };
    listWorkCalls_.SecondShown = [this] { return Panes().SecondListShown() ? LV2 : nullptr; };
    listWorkCalls_.Stored = [this]() -> bool& { return Options.DirSize; };
    listWork_ = std::make_unique<TListBackgroundWork>(listWorkCalls_);
    // Nothing is shown until the display is turned on.
    fileDisplay_->ShowPane(nullptr);
    for (TDirView* list : {LV1, LV2}) {
        list->OnChange = [this](TComponent* Sender, int) { ListView1Change(Sender); };
        // A finished load of the active list shows its focused item, and so
        // does a re-read that took the shown item away.
        list->OnLoaded = [this](TComponent* Sender) { ListView1Change(Sender, true); };
        list->OnDirUpdated = [this, previous = std::move(list->OnDirUpdated)](TComponent* Sender) {
            if (previous)
                previous(Sender);
            ListView1Change(Sender, true);
        };
        // The list that gets the focus becomes the active one; the display
        // follows its focused item.
        list->OnEnter = [this, list](TComponent*) {
            if (ActiveList == list && (!TreeView1 || TreeView1->DirView() == list))
                return;
            MakeActiveList(list);
            ListView1Change(list, true);
        };
    }
    TextView->OnURLClick = [this](TComponent*, const std::wstring& URL, TMouseButton Button) {
        fileDisplay_->TextFileView1URLClick(URL, Button);
    };
    ScrollBox1->OnResize = [this](TComponent*) { fileDisplay_->ScrollBox1Resize(); };
    ScrollBox1->OnEnter = [this](TComponent*) { fileDisplay_->ScrollBox1Enter(); };
    ScrollBox1->OnExit = [this](TComponent*) { fileDisplay_->ScrollBox1Exit(); };
    Image1->OnMouseDown = [this](TComponent*, int X, int Y) { fileDisplay_->Image1MouseDown(X, Y); };
    Image1->OnMouseMove = [this](TComponent*, int X, int Y) { fileDisplay_->Image1MouseMove(X, Y); };
    Image1->OnMouseUp = [this](TComponent*) { fileDisplay_->Image1MouseUp(); };
    CreateDisplayActions();
    listWork_->Register(catalogue_, *commandMenus_);
    ConnectTextCommands();
}

void TQRVMain::CreateDisplayActions()
{
    // The display commands, and the checks and states they read from the display.
    auto on = [this](TActionId Id, std::function<void()> Execute, std::function<void(TAction&)> Update) {
        catalogue_.Register(Id, std::move(Execute));
        TAction* action = commandMenus_->Action(Id);
        action->OnUpdate = [action, update = std::move(Update)](TComponent*) { update(*action); };
        return action;
    };
    TFileDisplay& display = *fileDisplay_;
    ViewFile = on(
        TActionId::ViewFile, [this] { ViewFileExecute(); },
        [&display](TAction& a) { a.SetChecked(display.ViewFile()); });
    FreezeDisplay = on(
        TActionId::FreezeDisplay, [&display] { display.FreezeDisplayExecute(); },
        [&display](TAction& a) {
            a.SetChecked(display.FreezeDisplay());
            a.SetEnabled(display.FreezeDisplayEnabled());
        });
    FreezeDisplay->SetHint(L"Automatische Aktualisierung der Dateianzeige bei Fokuswechsel unterbinden. ");
    DispAuto = on(
        TActionId::DispAuto, [this] { SetDisplayMode(fdAutomatic); },
        [&display](TAction& a) { a.SetChecked(display.ForcedMode() == fdAutomatic); });
    DispHex = on(
        TActionId::DispHex, [this] { SetDisplayMode(fdHex); },
        [&display](TAction& a) { a.SetChecked(display.ForcedMode() == fdHex); });
    DispText = on(
        TActionId::DispText, [this] { SetDisplayMode(fdText); },
        [&display](TAction& a) { a.SetChecked(display.ForcedMode() == fdText); });
    AlignPicture = on(
        TActionId::AlignPicture, [&display] { display.AlignPictureExecute(); },
        [&display](TAction& a) { a.SetChecked(display.AlignPicture()); });
    SetBKColor = on(
        TActionId::SetBKColor, [&display] { display.SetBKColorExecute(); }, [](TAction&) {});
    ActionList1->UpdateActions();
}

void TQRVMain::SetDisplayMode(uint8_t Mode)
{
    const TModeStep step = DisplayModeStep(fileDisplay_->ForcedMode(), Mode, fileDisplay_->ViewFile());
    if (step == TModeStep::Nothing)
        return;
    // A changed text that is not let go keeps the mode as it is.
    if (fileDisplay_->ViewFile() && !QuerySaveModifiedText())
        return;
    fileDisplay_->SetForcedMode(Mode);
    if (step == TModeStep::TurnOn) {
        ViewFileExecute();
        return;
    }
    // The shown file again, in the new mode.
    if (step == TModeStep::Redisplay && !fileDisplay_->FreezeDisplay()) {
        if (!fileDisplay_->ClearDisplay())
            return;
        fileDisplay_->ForgetViewedFile();
        // Shown now, so that the hex view can take the focus.
        ShowFocusedFile();
        if (Mode == fdHex && HexEditor1->Visible() && HexEditor1->HandleAllocated())
            HexEditor1->SetFocus();
    }
}

void TQRVMain::ConnectTextCommands()
{
    TTextControls controls;
    controls.TextView = TextView;
    controls.Editor = EasyEdit;
    controls.Hex = HexEditor1;
    controls.Toolbar = ToolbarDateianzeige;
    textCommands_ = std::make_unique<TTextCommandsLink>(Services(), static_cast<TTextCommandsWindow&>(*this), controls);
    textCommands_->Connect(catalogue_, *commandMenus_);
    listViewCommands_ = std::make_unique<TListViewCommands>(Panes(), static_cast<TListViewCommandsHost&>(*this));
    listViewCommands_->Connect(catalogue_, *commandMenus_);
}

TKyListView* TQRVMain::ShownArchiveList()
{
    return ZipLV && ZipLV->Visible() ? ZipLV : nullptr;
}

bool TQRVMain::FileUndoPossible()
{
    const TFileOperator* last = fileCommands_ ? fileCommands_->LastFileOperator() : nullptr;
    return last && last->UndoAvailable();
}

void TQRVMain::RunFileUndo()
{
    if (fileCommands_)
        fileCommands_->FileUndo();
}

TComboBox* TQRVMain::FocusedLineBox()
{
    for (TComboBox* box : {DOSCmdBox, ActiveHistory}) {
        const HWND focus = GetFocus();
        if (box && box->HandleAllocated() && focus && (focus == box->Handle() || IsChild(box->Handle(), focus)))
            return box;
    }
    return nullptr;
}

uint8_t TQRVMain::ForcedDisplayMode()
{
    return fileDisplay_ ? fileDisplay_->ForcedMode() : 0;
}

void TQRVMain::ListView1Change(TComponent* Sender, bool AlsoWithoutFocus)
{
    if (!fileDisplay_ || Sender != ActiveList || Terminating() || ActiveList->Loading() || !fileDisplay_->ViewFile())
        return;
    // After a load, a re-read or a change of the active list the display is
    // cleared when no item is focused, never left on the file of another
    // folder. (An item's state change passes through a moment without focus:
    // it waits for the focused item.)
    const TFileRec* item = ActiveList->ItemFocused();
    if (item || AlsoWithoutFocus)
        fileDisplay_->ListView1Change(item ? ActiveList->ItemFullFileName(item) : std::wstring());
}

void TQRVMain::ViewFileExecute()
{
    if (!fileDisplay_)
        return;
    // A viewer that is about to be hidden hands the focus to the active list.
    if (fileDisplay_->ViewFile() && ActiveList && ActiveList->HandleAllocated() && PanelBottom->HandleAllocated() &&
        IsChild(PanelBottom->Handle(), GetFocus()))
        ActiveList->SetFocus();
    fileDisplay_->ViewFileExecute(ActiveList && ActiveList->ItemFocused());
}

void TQRVMain::ShowFocusedFile()
{
    // A request that comes while the save question is open (from the box's
    // message loop) is held and posted again once it is answered.
    if (fileDisplay_ && saveQuestion_.AdmitDisplayRequest())
        fileDisplay_->DisplaySelectedFile();
}

TDisplayListState TQRVMain::ActiveListState()
{
    TDisplayListState state;
    if (!ActiveList)
        return state;
    state.Loading = ActiveList->Loading();
    state.Folder = ActiveList->Path();
    if (const TFileRec* item = ActiveList->ItemFocused()) {
        state.FocusedPath = ActiveList->ItemFullFileName(item);
        state.FocusedIsDirectory = item->IsDirectory;
        state.FocusedIsParent = item->IsParentDir;
    }
    return state;
}

bool TQRVMain::Terminating()
{
    return ShuttingDown || destroyed_;
}

void TQRVMain::PostDisplayRequest()
{
    if (HandleAllocated())
        PostMessageW(Handle(), WM_QRV_DISPLAYFILE, 0, 0);
}

// The file commands let the display go of its file before they touch it.
bool TQRVMain::ClearDisplay()
{
    return !fileDisplay_ || fileDisplay_->ClearDisplay();
}

void TQRVMain::DisplayFocusedFile()
{
    if (fileDisplay_)
        fileDisplay_->RedisplayFocused();
}

void TQRVMain::UpdateActionStates()
{
    if (ActionList1)
        ActionList1->UpdateActions();
    UpdateTimerTimer();
}

bool TQRVMain::IsExcluded(const std::wstring& UpperName)
{
    return ExcludeList.IndexOf(UpperName) >= 0;
}

bool TQRVMain::StartPictureConverter()
{
    return pictureConverter_ && pictureConverter_->Start();
}

void TQRVMain::StorePictureBackground(TColor Color)
{
    Options.PicBKColor = Color;
}

}  // namespace qrv
