#pragma once
// One attribute choice of a selection or load filter. Portable.

namespace qrv {

// The attribute is required (SelYes), forbidden (SelNo) or ignored.
enum class TSelAttr { SelDontCare = 0, SelYes = 1, SelNo = 2 };

}  // namespace qrv
