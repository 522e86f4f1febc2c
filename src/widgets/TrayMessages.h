#pragma once
// What a mouse message the shell reports about a tray icon means. Portable.

#include <cstdint>

namespace qrv {

enum class TTrayButton { Left, Right, Middle };
enum class TTrayAction {
    None,
    Move,         // OnMouseMove
    Down,         // OnMouseDown; left and right remember the press
    Up,           // a remembered press clicks; then OnMouseUp
    DoubleClick,  // left: the default item or OnDblClick; then OnMouseDown with double
    ContextMenu,  // as a right press, then as its release
};

struct TTrayMessage {
    TTrayAction Action = TTrayAction::None;
    TTrayButton Button = TTrayButton::Left;
    bool operator==(const TTrayMessage&) const = default;
};

// The mouse message in a tray icon's callback (its lParam).
TTrayMessage ClassifyTrayMessage(uint32_t message);

}  // namespace qrv
