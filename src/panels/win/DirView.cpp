#include "panels/win/DirView.h"

namespace qrv {

TDirView::TDirView(TComponent* owner) : TCustomListView(owner)
{
    SetViewStyle(TViewStyle::vsReport);
    SetMultiSelect(true);
    SetHideSelection(false);
    AddColumn(L"Name", 150);
    AddColumn(L"Größe", 80, TAlignment::taRightJustify);
    AddColumn(L"Typ", 120);
    AddColumn(L"Geändert am", 120);
    AddColumn(L"Attr", 45);
}

}  // namespace qrv
