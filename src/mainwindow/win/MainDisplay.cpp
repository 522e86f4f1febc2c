// The main window's side of the file display: the panes handed to
// TFileDisplay, the file lists' events, the posted display messages and what
// the display asks of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "framework/win/ScrollBox.h"
#include "panels/win/DirView.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "widgets/win/KySplit.h"

namespace qrv {

void TQRVMain::ConnectFileDisplay()
{
    TDisplayPanes panes;
    panes.HexEditor1 = HexEditor1;
    panes.ZipLV = ZipLV;
    panes.TextFileView1 = TextView;
    panes.ScrollBox1 = ScrollBox1;
    panes.Image1 = Image1;
    panes.WebPanel = WebPanel;
    panes.DirPanel = DirPanel;
    panes.LinkPanel = LinkPanel;
    panes.EasyEdit = EasyEdit;
    panes.MediaPanel = MediaPanel;
    panes.OLEPanel = OLEPanel;
    panes.ErrorPanel = ErrorPanel;
    panes.ErrorpanelCaption = ErrorpanelCaption;
    fileDisplay_ = std::make_unique<TFileDisplay>(static_cast<TFileDisplayHost&>(*this), panes);
    // Nothing is shown until the display is turned on.
    fileDisplay_->ShowPane(nullptr);
    for (TDirView* list : {LV1, LV2}) {
        list->OnChange = [this](TComponent* Sender, int) { ListView1Change(Sender); };
        // A finished load of the active list shows its focused item.
        list->OnLoaded = [this](TComponent* Sender) { ListView1Change(Sender); };
    }
    TextView->OnURLClick = [this](TComponent*, const std::wstring& URL, TMouseButton Button) {
        fileDisplay_->TextFileView1URLClick(URL, Button);
    };
}

void TQRVMain::ListView1Change(TComponent* Sender)
{
    if (!fileDisplay_ || Sender != ActiveList || Terminating() || ActiveList->Loading() || !fileDisplay_->ViewFile)
        return;
    const TFileRec* item = ActiveList->ItemFocused();
    if (item)
        fileDisplay_->ListView1Change(ActiveList->ItemFullFileName(item));
}

void TQRVMain::ViewFileExecute()
{
    if (fileDisplay_)
        fileDisplay_->ViewFileExecute(ActiveList && ActiveList->ItemFocused());
}

void TQRVMain::ShowFocusedFile()
{
    if (fileDisplay_)
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

// Texts are shown read-only until the editor can change them, so there is
// never a changed text to save.
bool TQRVMain::QuerySaveModifiedText()
{
    return true;
}

void TQRVMain::UpdateActionStates()
{
    UpdateTimerTimer();
}

void TQRVMain::PlaceDisplayPane(bool Visible)
{
    PanelBottom->SetVisible(Visible);
    Splitter3->SetVisible(Visible);
}

bool TQRVMain::IsExcluded(const std::wstring& UpperName)
{
    return ExcludeList.IndexOf(UpperName) >= 0;
}

// The external converter comes with the list thumbnails.
bool TQRVMain::StartPictureConverter()
{
    return false;
}

void TQRVMain::StorePictureBackground(TColor Color)
{
    Options.PicBKColor = Color;
}

}  // namespace qrv
