#pragma once
// How a text lies across its cell or panel. Portable.

namespace qrv {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace qrv
