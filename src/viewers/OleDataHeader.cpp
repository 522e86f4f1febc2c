#include "viewers/OleDataHeader.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

void Put32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(uint8_t* at, int16_t value)
{
    const auto bits = static_cast<uint16_t>(value);
    at[0] = static_cast<uint8_t>(bits);
    at[1] = static_cast<uint8_t>(bits >> 8);
}

uint32_t Get32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

int16_t Get16(const uint8_t* at)
{
    return static_cast<int16_t>(static_cast<uint16_t>(at[0] | at[1] << 8));
}

[[noreturn]] void InvalidFormat()
{
    throw EOleError(L"Ungültiges Stream-Format");
}

}  // namespace

std::array<uint8_t, kOleDataHeaderSize> EncodeOleDataHeader(const TOleDataHeader& header)
{
    std::array<uint8_t, kOleDataHeaderSize> bytes{};
    if (header.OldFormat) {
        Put16(&bytes[0], header.Left);
        Put16(&bytes[2], header.Top);
        Put16(&bytes[4], header.Right);
        Put16(&bytes[6], header.Bottom);
    } else {
        Put32(&bytes[0], kOleDataSignature);
        Put32(&bytes[4], header.Aspect);
    }
    Put32(&bytes[8], header.Length);
    return bytes;
}

TOleDataHeader DecodeOleDataHeader(const uint8_t* bytes, uint64_t available, bool oldFormatAllowed)
{
    if (!bytes || available < kOleDataHeaderSize)
        InvalidFormat();
    TOleDataHeader header;
    if (Get32(bytes) == kOleDataSignature) {
        header.Aspect = Get32(bytes + 4);
        if (header.Aspect != kOleAspectContent && header.Aspect != kOleAspectIcon)
            InvalidFormat();
    } else if (oldFormatAllowed) {
        header.OldFormat = true;
        header.Left = Get16(bytes);
        header.Top = Get16(bytes + 2);
        header.Right = Get16(bytes + 4);
        header.Bottom = Get16(bytes + 6);
    } else {
        InvalidFormat();
    }
    header.Length = Get32(bytes + 8);
    if (header.Length == 0 || header.Length > available - kOleDataHeaderSize)
        InvalidFormat();
    return header;
}

}  // namespace qrv
