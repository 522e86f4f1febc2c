#include "panels/win/DriveView.h"

namespace qrv {

TDriveView::TDriveView(TComponent* owner) : TTreeView(owner)
{
    SetHideSelection(false);
    SetShowRoot(true);
}

}  // namespace qrv
