#include "dialogs/win/ShadowedHint.h"

#include <versionhelpers.h>

namespace qrv {

UINT TShadowedHintWindow::WindowClassStyle() const
{
    // The drop shadow class style is known from NT 5.1 on.
    return CS_SAVEBITS | (IsWindowsXPOrGreater() ? CS_DROPSHADOW : 0);
}

void InstallShadowedHintWindow()
{
    SetApplicationHintWindowClass([] { return std::make_unique<TShadowedHintWindow>(); });
}

}  // namespace qrv
