#include "widgets/ToolWindowPositionRecord.h"

#include <algorithm>

namespace qrv {

void WriteToolWindowPosition(const TToolWindowPositionStore& store, const std::wstring& section,
                             const TToolWindowPosition& position)
{
    store.WriteInteger(section, L"Rev", kToolWindowPositionRev);
    store.WriteInteger(section, L"Visible", position.Visible ? 1 : 0);
    store.WriteString(section, L"DockedTo", position.DockedTo);
    store.WriteString(section, L"LastDock", position.LastDock);
    store.WriteInteger(section, L"DockRow", position.DockRow);
    store.WriteInteger(section, L"DockPos", position.DockPos);
    store.WriteInteger(section, L"FloatLeft", position.FloatLeft);
    store.WriteInteger(section, L"FloatTop", position.FloatTop);
    if (position.FloatRightX)
        store.WriteInteger(section, L"FloatRightX", *position.FloatRightX);
}

std::optional<TToolWindowPosition> ReadToolWindowPosition(const TToolWindowPositionStore& store,
                                                          const std::wstring& section,
                                                          const TToolWindowPosition& current, bool readFloatRightX)
{
    const int rev = store.ReadInteger(section, L"Rev", 0);
    if (rev != 2 && rev != 3)
        return std::nullopt;
    TToolWindowPosition position = current;
    position.Visible = store.ReadInteger(section, L"Visible", current.Visible ? 1 : 0) != 0;
    position.DockedTo = store.ReadString(section, L"DockedTo", L"");
    position.HasLastDock = false;
    if (position.DockedTo.empty())
        return position;
    // Stored values are not trusted: positions and widths beyond what a
    // window can have are brought into range.
    position.DockRow = std::clamp(store.ReadInteger(section, L"DockRow", current.DockRow), 0, kMaxStoredExtent);
    position.DockPos = std::clamp(store.ReadInteger(section, L"DockPos", current.DockPos), 0, kMaxStoredExtent);
    position.FloatLeft = store.ReadInteger(section, L"FloatLeft", 0);
    position.FloatTop = store.ReadInteger(section, L"FloatTop", 0);
    if (readFloatRightX)
        position.FloatRightX = std::clamp(store.ReadInteger(section, L"FloatRightX", 0), 0, kMaxStoredExtent);
    if (rev > 2) {
        position.LastDock = store.ReadString(section, L"LastDock", L"");
        position.HasLastDock = true;
    }
    return position;
}

}  // namespace qrv
