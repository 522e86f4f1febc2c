#pragma once
// Windows animated cursors (RIFF form "ACON"): the animation header, the
// texts, the rates and sequence of the steps, and each frame's icon as a
// checked range of the file, which is kept whole so that it saves unchanged.
// Portable; the icons themselves are made on Windows (imaging/win).

#include "framework/GraphicErrors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qrv {

inline constexpr const wchar_t* kAniFormatError = L"Ungültiges Grafikformat (*.ANI, *.CUR)";
// The text of a missing title or author.
inline constexpr const char* kAniUnknownText = "unbekannt";

QRV_DECLARE_EXCEPTION(EAniFormat, EInvalidGraphic);

// The "anih" chunk: nine little-endian 32-bit fields.
struct TAniHeader {
    uint32_t HeaderSize = 0;
    uint32_t FrameCount = 0;
    uint32_t StepCount = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t BitCount = 0;
    uint32_t Planes = 0;
    uint32_t DisplayRate = 0;  // jiffies of 1/60 s
    uint32_t Flags = 0;
};

// A part of the file: [Offset, Offset + Size).
struct TByteRange {
    size_t Offset = 0;
    size_t Size = 0;
};

struct TAniFrame {
    // The "icon" chunk's data: an icon or cursor file of its own.
    TByteRange Icon;
    // Its first image's resource bytes, as the directory entry gives them.
    TByteRange Image;
    // The first directory entry's size in pixels (a byte of 0 means 256).
    uint32_t Width = 0;
    uint32_t Height = 0;
};

class TAniCursorFile {
public:
    // Throws EAniFormat with kAniFormatError for a file that is no animated
    // cursor or whose chunks do not fit it.
    explicit TAniCursorFile(std::vector<uint8_t> bytes);

    // The file as read, written back by saving.
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    const TAniHeader& Header() const { return header_; }
    // Bytes of the file's texts, up to the first zero; kAniUnknownText when absent.
    const std::string& Title() const { return title_; }
    const std::string& Author() const { return author_; }
    // One per step; empty when the file has none.
    const std::vector<uint32_t>& Rates() const { return rates_; }
    const std::vector<uint32_t>& Sequence() const { return sequence_; }
    const std::vector<TAniFrame>& Frames() const { return frames_; }
    // The first frame's size.
    uint32_t Width() const { return frames_.front().Width; }
    uint32_t Height() const { return frames_.front().Height; }
    // The steps played: the header's step count, or one per frame when it is 0.
    size_t StepCount() const;

    std::span<const uint8_t> FrameImage(size_t index) const;
    std::span<const uint8_t> FrameIcon(size_t index) const;

private:
    void ParseInfo(size_t begin, size_t end);
    void ParseFrames(size_t begin, size_t end);
    void ParseIcon(size_t begin, size_t size);
    std::vector<uint32_t> ReadValues(size_t begin, size_t size) const;
    uint32_t Read32(size_t at) const;

    std::vector<uint8_t> bytes_;
    TAniHeader header_;
    bool hasHeader_ = false;
    std::string title_ = kAniUnknownText;
    std::string author_ = kAniUnknownText;
    std::vector<uint32_t> rates_;
    std::vector<uint32_t> sequence_;
    std::vector<TAniFrame> frames_;
};

}  // namespace qrv
