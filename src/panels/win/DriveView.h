#pragma once
// TDriveView: the folder tree of the main window over the common tree view.
// Its drives, folders and shell folders come with the folder tree's own
// parts; for now it is the empty tree control.

#include "framework/win/ComCtrls.h"

namespace qrv {

class TDriveView : public TTreeView {
public:
    explicit TDriveView(TComponent* owner);
};

}  // namespace qrv
