#pragma once
// TDirView: a file list of the main window: a report list over the common
// list view. Listing a folder, sorting and watching it come with the
// directory list's own parts; for now the control shows its columns only.

#include "framework/win/ComCtrls.h"

namespace qrv {

class TDirView : public TCustomListView {
public:
    explicit TDirView(TComponent* owner);
};

}  // namespace qrv
