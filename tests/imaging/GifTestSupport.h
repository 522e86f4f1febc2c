#pragma once
// Helpers of the GIF tests: files built byte by byte, LZW codes packed by
// hand, a sink that records warnings, and pictures made of seeded pixels.

#include "imaging/GifDocument.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qrv::test {

// Records every warning and progress report.
class TGifRecorder : public TGIFEventSink {
public:
    void Warning(const void* sender, int severity, const std::wstring& message) override;
    void Progress(TGIFProgressStage stage, int percent, const std::wstring& message) override;
    std::vector<std::wstring> Warnings;
    std::vector<const void*> Senders;
    // "start", "end" or the percentage, each with its message.
    std::vector<std::wstring> Steps;
    bool Warned(const std::wstring& message) const;
};

// "GIF89a", the logical screen and a global table of colors entries (a grey
// ramp; none for 0). colors is rounded up to a power of two.
std::string GifHeaderBytes(uint16_t width, uint16_t height, int colors, bool is89a = true);
// An image descriptor without a local table.
std::string GifDescriptorBytes(uint16_t left, uint16_t top, uint16_t width, uint16_t height, bool interlaced = false);
// A graphic control block.
std::string GifControlBytes(bool transparent, uint8_t index, uint16_t delay = 0, int disposal = 0);
// Codes of the given sizes packed least significant bit first.
std::string PackGifCodes(const std::vector<std::pair<int, int>>& codesAndSizes);
// Data bytes as sub-blocks of at most 255 bytes and the 0 block.
std::string GifSubBlocks(const std::string& data);

// Loads bytes into a new document; the recorder receives its warnings.
void LoadGifBytes(TGIFDocument& document, const std::string& bytes, TGifRecorder* recorder = nullptr);
std::string SaveGifBytes(const TGIFDocument& document);

// A frame's pixels top-down, width × height bytes.
std::vector<uint8_t> FramePixels(const TGIFFrame& frame);
void SetFramePixels(TGIFFrame& frame, const std::vector<uint8_t>& pixels);

// A one-frame document of seeded random pixels below colors, with a global
// table of that many entries.
void MakeRandomGif(TGIFDocument& document, uint16_t width, uint16_t height, int colors, unsigned seed,
                   bool interlaced = false);
// Long runs: rows of one colour, stripes and a few noisy spots.
void MakeRunsGif(TGIFDocument& document, uint16_t width, uint16_t height, int colors, unsigned seed);

}  // namespace qrv::test
