#pragma once
// The header of the embedded-document container's stored "Data": 12 bytes
// before the bytes of the object's compound file. The current form is the
// signature "BDOC" (0x434F4442), the draw aspect and the length of the
// storage; the old form holds the control's bounds (four 16-bit values)
// and the length instead. All values little-endian. Portable.

#include <array>
#include <cstddef>
#include <cstdint>

namespace qrv {

constexpr uint32_t kOleDataSignature = 0x434F4442;  // "BDOC"
constexpr size_t kOleDataHeaderSize = 12;
// The draw aspects the container shows.
constexpr uint32_t kOleAspectContent = 1;
constexpr uint32_t kOleAspectIcon = 4;

struct TOleDataHeader {
    bool OldFormat = false;
    uint32_t Aspect = kOleAspectContent;
    // The control's bounds, in the old form only.
    int16_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    uint32_t Length = 0;
};

std::array<uint8_t, kOleDataHeaderSize> EncodeOleDataHeader(const TOleDataHeader& header);

// Reads a header from the first bytes of a stream; available is how many
// bytes the stream holds from the header's first byte on. Raises EOleError
// "Ungültiges Stream-Format" for fewer than 12 bytes, a signature other than
// "BDOC" (unless oldFormatAllowed, which then reads the old form), an aspect
// other than content or icon, and a length that is zero (a compound file is
// never empty) or beyond the bytes that follow the header.
TOleDataHeader DecodeOleDataHeader(const uint8_t* bytes, uint64_t available, bool oldFormatAllowed);

}  // namespace qrv
