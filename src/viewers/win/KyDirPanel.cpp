#include "viewers/win/KyDirPanel.h"

namespace qrv {

TKyDirPanel::TKyDirPanel(TComponent* owner) : TPanel(owner)
{
    SetBevelOuter(TPanelBevel::bvNone);
}

void TKyDirPanel::ShowDirectory(const std::wstring& path)
{
    if (path == path_)
        return;
    path_ = path;
}

}  // namespace qrv
