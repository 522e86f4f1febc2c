#include "mainwindow/win/MainPanes.h"

#include "framework/win/ExtCtrls.h"

namespace qrv {

TDirView* TMainPanes::FileList(int Index) const
{
    return Index == 0 ? LV1 : Index == 1 ? LV2 : nullptr;
}

TPanel* TMainPanes::FileListPanel(int Index) const
{
    return Index == 0 ? FilePanel1 : Index == 1 ? FilePanel2 : nullptr;
}

bool TMainPanes::SecondListShown() const
{
    return FilePanel2 && FilePanel2->Visible();
}

TDirView* TMainPanes::OtherShownList(const TDirView* List) const
{
    if (!SecondListShown())
        return nullptr;
    return List == LV2 ? LV1 : LV2;
}

}  // namespace qrv
