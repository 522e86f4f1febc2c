#include "mainwindow/win/RudirezOziMain.h"

namespace qrv {

namespace {
TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption,
                       TNotifyEvent onClick = {})
{
    auto* item = new TMenuItem(owner);  // owned by the form
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    parent->Add(item);
    return item;
}
}  // namespace

TQRVMain::TQRVMain(TComponent* owner) : TForm(owner)
{
    SetName(L"QRVMain");
    SetCaption(L"Quorvan Free");
    SetPosition(TPosition::poDefaultPosOnly);
    SetBounds(0, 0, 800, 600);
    CreateMenus();
    CreatePanes();
}

void TQRVMain::CreateMenus()
{
    mainMenu_ = new TMainMenu(this);
    TMenuItem* file = AddMenuItem(this, mainMenu_->Items(), L"&Datei");
    AddMenuItem(this, file, L"&Beenden", [this](TComponent*) { Close(); });
    SetMenu(mainMenu_);
}

void TQRVMain::CreatePanes()
{
    statusBar_ = new TStatusBar(this);
    statusBar_->SetName(L"StatusBar");
    statusBar_->SetParent(this);

    displayPane_ = new TPanel(this);
    displayPane_->SetName(L"DisplayPane");
    displayPane_->SetHeight(180);
    displayPane_->SetAlign(TAlign::alBottom);
    displayPane_->SetParent(this);

    treePane_ = new TPanel(this);
    treePane_->SetName(L"TreePane");
    treePane_->SetWidth(220);
    treePane_->SetAlign(TAlign::alLeft);
    treePane_->SetParent(this);

    listPane_ = new TPanel(this);
    listPane_->SetName(L"ListPane");
    listPane_->SetAlign(TAlign::alClient);
    listPane_->SetParent(this);
}

}  // namespace qrv
