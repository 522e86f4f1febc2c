#pragma once
// Everything on the clipboard, kept while the program borrows it and put
// back afterwards in its order: memory blocks as bytes, bitmaps, palettes
// and metafiles as copies (common/ClipboardSnapshotPlan.h). Owner-drawn
// formats, private handles and other GDI objects cannot be copied and are
// lost; LostFormats names them.

#include "common/ClipboardSnapshotPlan.h"
#include "framework/win/Handles.h"

#include <cstdint>
#include <vector>

namespace qrv {

class TClipboardSnapshot {
public:
    // Keeps every format on the clipboard, opened for Owner; false when it
    // could not be opened (nothing is kept then).
    [[nodiscard]] bool Take(HWND Owner);
    // Empties the clipboard and puts copies of everything kept back, in the
    // order it was found; the snapshot stays for another restore. False
    // when the clipboard could not be opened or a format not put back.
    [[nodiscard]] bool Restore(HWND Owner) const;
    void Clear() { kept_.clear(); }
    bool Empty() const { return kept_.empty(); }
    std::vector<uint32_t> Formats() const;
    const std::vector<uint32_t>& LostFormats() const { return lost_; }

private:
    struct TKept {
        uint32_t Format = 0;
        TClipboardKeep Keep = TClipboardKeep::Bytes;
        std::vector<uint8_t> Bytes;  // a block's bytes, a metafile picture's header
        TGdiObject Gdi;              // a bitmap or palette
        TEnhMetaFileHandle Enhanced;
        TMetaFileHandle Meta;
    };
    std::vector<TKept> kept_;
    std::vector<uint32_t> lost_;
};

}  // namespace qrv
