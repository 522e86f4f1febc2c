#pragma once
// The exceptions of the PNG codec: one class per failure, each carrying its
// German message. Portable.

#include "framework/SysUtils.h"

#include <string>

namespace qrv {

#define QRV_PNG_EXCEPTION(Name)                                                                                        \
    class Name : public Exception {                                                                                    \
    public:                                                                                                            \
        Name();                                                                                                        \
        explicit Name(std::wstring message) : Exception(std::move(message)) {}                                         \
    }

QRV_PNG_EXCEPTION(EPNGInvalidFileHeader);
QRV_PNG_EXCEPTION(EPNGHeaderNotPresent);
QRV_PNG_EXCEPTION(EPngUnexpectedEnd);
QRV_PNG_EXCEPTION(EPNGIHDRNotFirst);
QRV_PNG_EXCEPTION(EPngInvalidIHDR);
QRV_PNG_EXCEPTION(EPNGSizeExceeds);
QRV_PNG_EXCEPTION(EPNGUnknownCompression);
QRV_PNG_EXCEPTION(EPNGUnknownInterlace);
QRV_PNG_EXCEPTION(EPNGUnknownCriticalChunk);
QRV_PNG_EXCEPTION(EPngInvalidCRC);
QRV_PNG_EXCEPTION(EPNGInvalidPalette);
QRV_PNG_EXCEPTION(EPNGNoImageData);
QRV_PNG_EXCEPTION(EPNGMissingMultipleIDAT);
// The compression library's own text follows the fixed message.
QRV_PNG_EXCEPTION(EPNGZLIBError);
// Palette index, incompatible chunk assignment, resize refusal; the default
// constructor gives no message, use the named texts below.
QRV_PNG_EXCEPTION(EPngError);
// The pixel memory of an image could not be had.
QRV_PNG_EXCEPTION(EPngOutOfMemory);

#undef QRV_PNG_EXCEPTION

// The texts of EPngError.
extern const wchar_t* const SPngNoSuchPaletteEntry;
extern const wchar_t* const SPngChunksIncompatible;
extern const wchar_t* const SPngCannotResize;

// EPNGZLIBError with the library's message appended.
EPNGZLIBError ZLibError(const char* libraryMessage);

}  // namespace qrv
