#include "widgets/TrayMessages.h"

namespace qrv {

namespace {
// The system's mouse message numbers.
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLeftDown = 0x0201;
constexpr uint32_t kMiddleDoubleClick = 0x0209;
constexpr uint32_t kContextMenu = 0x007B;
}  // namespace

TTrayMessage ClassifyTrayMessage(uint32_t message)
{
    if (message == kMouseMove)
        return {TTrayAction::Move, TTrayButton::Left};
    if (message == kContextMenu)
        return {TTrayAction::ContextMenu, TTrayButton::Right};
    if (message < kLeftDown || message > kMiddleDoubleClick)
        return {};
    // Down, up and double click of left, right and middle in turn.
    const uint32_t offset = message - kLeftDown;
    const TTrayButton buttons[] = {TTrayButton::Left, TTrayButton::Right, TTrayButton::Middle};
    const TTrayAction actions[] = {TTrayAction::Down, TTrayAction::Up, TTrayAction::DoubleClick};
    return {actions[offset % 3], buttons[offset / 3]};
}

}  // namespace qrv
