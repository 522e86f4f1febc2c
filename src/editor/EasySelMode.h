#pragma once
// Selection modes of the editor control and how a requested one is mapped
// through the modes the editor allows. Portable.

#include "editor/EasyEditorOptions.h"

namespace qrv {

// None, stream (in reading order) and block (a rectangle on screen).
enum TEasySelMode : int { smNone = 0, smStream = 1, smBlock = 2 };

// The selection mode a request gets under the allowed modes; a block only
// where the editor can select one (not while wrapping words).
constexpr int AdjustSelMode(TEasyBlockSelMode allowed, int requested, bool canBlockSelect)
{
    if (requested == smNone)
        return smNone;
    switch (allowed) {
    case TEasyBlockSelMode::bsStream:
        return smStream;
    case TEasyBlockSelMode::bsBlock:
        return canBlockSelect ? smBlock : smNone;
    case TEasyBlockSelMode::bsNone:
        return smNone;
    case TEasyBlockSelMode::bsBoth:
        break;
    }
    return requested == smBlock && !canBlockSelect ? smStream : requested;
}

}  // namespace qrv
