#include "viewers/win/KyLinkPanel.h"

namespace qrv {

TKyLinkPanel::TKyLinkPanel(TComponent* owner) : TPanel(owner)
{
    SetBevelOuter(TPanelBevel::bvNone);
}

void TKyLinkPanel::ShowLink(const std::wstring& path)
{
    if (path == path_)
        return;
    path_ = path;
}

}  // namespace qrv
