#pragma once
// The values stored for one tool window's position, and how they are read
// from and written to a storage back end through four callbacks. Portable:
// the INI file and the registry bind the callbacks.

#include <functional>
#include <optional>
#include <string>

namespace qrv {

struct TToolWindowPositionStore {
    std::function<int(const std::wstring& section, const std::wstring& name, int defaultValue)> ReadInteger;
    std::function<std::wstring(const std::wstring& section, const std::wstring& name, const std::wstring& defaultValue)>
        ReadString;
    std::function<void(const std::wstring& section, const std::wstring& name, int value)> WriteInteger;
    std::function<void(const std::wstring& section, const std::wstring& name, const std::wstring& value)> WriteString;
};

// The revision written now; sections of revisions 2 and 3 are read.
constexpr int kToolWindowPositionRev = 3;
// The largest row, offset and width a stored value may give.
constexpr int kMaxStoredExtent = 32767;
// The "DockedTo" text of a floating tool window.
inline constexpr wchar_t kFloatingDockName[] = L"+";

struct TToolWindowPosition {
    bool Visible = true;
    // The dock's name; empty when docked in a dock that forbids dragging;
    // kFloatingDockName when floating.
    std::wstring DockedTo;
    std::wstring LastDock;
    bool HasLastDock = false;  // on reading: the section holds "LastDock" (revision 3)
    int DockRow = 0;
    int DockPos = -1;
    int FloatLeft = 0;
    int FloatTop = 0;
    std::optional<int> FloatRightX;  // toolbars only
};

// Writes the values in their fixed order ("FloatRightX" last, when present).
void WriteToolWindowPosition(const TToolWindowPositionStore& store, const std::wstring& section,
                             const TToolWindowPosition& position);

// Reads a section; current gives the defaults of "Visible", "DockRow" and
// "DockPos". Returns nothing when the section is missing or of another
// revision. Values after "DockedTo" are read only when it names a dock or
// floating; readFloatRightX asks for the toolbar's extra value. DockRow,
// DockPos and FloatRightX are clamped to 0..kMaxStoredExtent.
std::optional<TToolWindowPosition> ReadToolWindowPosition(const TToolWindowPositionStore& store,
                                                          const std::wstring& section,
                                                          const TToolWindowPosition& current, bool readFloatRightX);

}  // namespace qrv
