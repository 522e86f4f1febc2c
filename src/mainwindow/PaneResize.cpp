#include "mainwindow/PaneResize.h"

#include <cmath>
#include <cstdlib>

namespace qrv {

int ScaleFirstWindow(int OldFirstSize, int OldPanelSize, int NewPanelSize)
{
    if (OldPanelSize <= 0)
        return OldFirstSize;
    const double scaled = static_cast<double>(OldFirstSize) / OldPanelSize * NewPanelSize;
    return static_cast<int>(std::lround(scaled));
}

int ScaleFirstWindowHeight(int OldFirstHeight, int OldPanelHeight, int NewPanelHeight)
{
    if (std::abs(static_cast<long long>(NewPanelHeight) - OldPanelHeight) < 2)
        return OldFirstHeight;
    return ScaleFirstWindow(OldFirstHeight, OldPanelHeight, NewPanelHeight);
}

}  // namespace qrv
