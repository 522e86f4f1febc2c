#pragma once
// The failures and the tolerated defects of the GIF codec, and the sink its
// warnings and progress go to. The texts are English, as the program's own
// codec texts are. Portable.

#include "framework/GraphicErrors.h"

#include <string>

namespace qrv {

// A GIF that cannot be read or written. Derives from the framework's
// invalid-graphic exception, so a picture host catches it with the others.
// NOLINTNEXTLINE(readability-identifier-naming): the name the picture classes know it by
class GIFException : public EInvalidGraphic {
public:
    explicit GIFException(const wchar_t* message) : EInvalidGraphic(message) {}
};

// The texts, raised as GIFException or reported as warnings.
namespace gif_text {
inline constexpr const wchar_t* kPrematureEndOfData = L"Premature end of data";
inline constexpr const wchar_t* kInvalidSignature = L"Invalid GIF signature";
inline constexpr const wchar_t* kUnsupportedVersion = L"Unsupported GIF version";
inline constexpr const wchar_t* kColorTableOverflow = L"Color table overflow";
inline constexpr const wchar_t* kInvalidColorIndex = L"Invalid color index";
inline constexpr const wchar_t* kColorTableEmpty = L"Color table is empty";
inline constexpr const wchar_t* kUnknownExtension = L"Unknown extension type";
inline constexpr const wchar_t* kInvalidExtensionIntroducer = L"Invalid extension introducer";
inline constexpr const wchar_t* kExtensionMismatch =
    L"Internal error: Extension Instance does not match Extension Label";
inline constexpr const wchar_t* kUnsupportedAppBlockSize = L"Unsupported Application Extension block size";
inline constexpr const wchar_t* kInvalidData = L"Invalid GIF data";
inline constexpr const wchar_t* kUnknownBlockType = L"Unknown GIF block type";
inline constexpr const wchar_t* kInvalidTrailer = L"Invalid Image trailer";
inline constexpr const wchar_t* kBitBufferUnderRun = L"Decoder bit buffer under-run";
inline constexpr const wchar_t* kColorNotInTable = L"Color not in color table";
inline constexpr const wchar_t* kImageExceedsScreen = L"Image exceeds Logical Screen size";
inline constexpr const wchar_t* kOutOfMemory = L"Failed to allocate memory for GIF DIB";
inline constexpr const wchar_t* kInvalidCodeSize = L"Invalid LZW code size";
inline constexpr const wchar_t* kInvalidCode = L"Invalid LZW code";
inline constexpr const wchar_t* kLoading = L"Loading...";
inline constexpr const wchar_t* kSaving = L"Saving...";
}  // namespace gif_text

enum class TGIFProgressStage { psStarting, psRunning, psEnding };

// Receives what a load or a save reports. The picture class forwards these
// to its events; the default sink drops them.
class TGIFEventSink {
public:
    virtual ~TGIFEventSink() = default;
    // A tolerated defect: sender is the stream item that met it (or null),
    // severity 1 for every defect the codec reports.
    virtual void Warning(const void* sender, int severity, const std::wstring& message)
    {
        (void)sender, (void)severity, (void)message;
    }
    virtual void Progress(TGIFProgressStage stage, int percent, const std::wstring& message)
    {
        (void)stage, (void)percent, (void)message;
    }
};

}  // namespace qrv
