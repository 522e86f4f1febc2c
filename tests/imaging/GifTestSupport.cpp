#include "GifTestSupport.h"

#include "framework/Streams.h"

#include <gtest/gtest.h>

#include <random>

namespace qrv::test {

void TGifRecorder::Warning(const void* sender, int severity, const std::wstring& message)
{
    Warnings.push_back(message);
    Senders.push_back(sender);
    EXPECT_EQ(severity, 1);
}

void TGifRecorder::Progress(TGIFProgressStage stage, int percent, const std::wstring& message)
{
    const std::wstring step = stage == TGIFProgressStage::psStarting ? L"start"
                              : stage == TGIFProgressStage::psEnding ? L"end " + std::to_wstring(percent)
                                                                     : std::to_wstring(percent);
    Steps.push_back(step + L" " + message);
}

bool TGifRecorder::Warned(const std::wstring& message) const
{
    for (const std::wstring& warning : Warnings)
        if (warning == message)
            return true;
    return false;
}

namespace {

void AppendWord(std::string& bytes, uint16_t value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

}  // namespace

std::string GifHeaderBytes(uint16_t width, uint16_t height, int colors, bool is89a)
{
    std::string bytes = is89a ? "GIF89a" : "GIF87a";
    AppendWord(bytes, width);
    AppendWord(bytes, height);
    const int bits = GIFColorBits(colors);
    bytes += static_cast<char>(colors > 0 ? 0x80 | (bits - 1) : 0);
    bytes += '\0';
    bytes += '\0';
    if (colors > 0)
        for (int i = 0; i < (1 << bits); ++i)
            bytes += std::string(3, static_cast<char>(i * 255 / ((1 << bits) - 1 ? (1 << bits) - 1 : 1)));
    return bytes;
}

std::string GifDescriptorBytes(uint16_t left, uint16_t top, uint16_t width, uint16_t height, bool interlaced)
{
    std::string bytes = ",";
    AppendWord(bytes, left);
    AppendWord(bytes, top);
    AppendWord(bytes, width);
    AppendWord(bytes, height);
    bytes += static_cast<char>(interlaced ? 0x40 : 0);
    return bytes;
}

std::string GifControlBytes(bool transparent, uint8_t index, uint16_t delay, int disposal)
{
    std::string bytes = "\x21\xF9\x04";
    bytes += static_cast<char>((transparent ? 1 : 0) | (disposal << 2));
    AppendWord(bytes, delay);
    bytes += static_cast<char>(index);
    bytes += '\0';
    return bytes;
}

std::string PackGifCodes(const std::vector<std::pair<int, int>>& codesAndSizes)
{
    std::string bytes;
    uint32_t bucket = 0;
    int bits = 0;
    for (const auto& [code, size] : codesAndSizes) {
        bucket |= static_cast<uint32_t>(code) << bits;
        bits += size;
        while (bits >= 8) {
            bytes += static_cast<char>(bucket & 0xFF);
            bucket >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        bytes += static_cast<char>(bucket & 0xFF);
    return bytes;
}

std::string GifSubBlocks(const std::string& data)
{
    std::string bytes;
    for (size_t start = 0; start < data.size(); start += 255) {
        const size_t size = std::min<size_t>(255, data.size() - start);
        bytes += static_cast<char>(size);
        bytes += data.substr(start, size);
    }
    bytes += '\0';
    return bytes;
}

void LoadGifBytes(TGIFDocument& document, const std::string& bytes, TGifRecorder* recorder)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    document.SetEventSink(recorder);
    document.LoadFromStream(stream);
}

std::string SaveGifBytes(const TGIFDocument& document)
{
    TMemoryStream stream;
    document.SaveToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size());
}

std::vector<uint8_t> FramePixels(const TGIFFrame& frame)
{
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(frame.Width()) * frame.Height());
    for (uint32_t y = 0; y < frame.Height(); ++y)
        pixels.insert(pixels.end(), frame.Row(y), frame.Row(y) + frame.Width());
    return pixels;
}

void SetFramePixels(TGIFFrame& frame, const std::vector<uint8_t>& pixels)
{
    for (uint32_t y = 0; y < frame.Height(); ++y)
        std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * frame.Width(), frame.Width(), frame.Row(y));
}

namespace {

TGIFFrame& MakeFrame(TGIFDocument& document, uint16_t width, uint16_t height, int colors)
{
    document.Clear();
    document.Header.Width = width;
    document.Header.Height = height;
    for (int i = 0; i < colors; ++i)
        document.Header.ColorMap.Add(
            {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    TGIFFrame& frame = document.AddFrame();
    frame.SetSize(width, height);
    return frame;
}

}  // namespace

void MakeRandomGif(TGIFDocument& document, uint16_t width, uint16_t height, int colors, unsigned seed, bool interlaced)
{
    TGIFFrame& frame = MakeFrame(document, width, height, colors);
    frame.SetInterlaced(interlaced);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pixel(0, colors - 1);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            frame.Row(y)[x] = static_cast<uint8_t>(pixel(random));
}

void MakeRunsGif(TGIFDocument& document, uint16_t width, uint16_t height, int colors, unsigned seed)
{
    TGIFFrame& frame = MakeFrame(document, width, height, colors);
    std::mt19937 random(seed);
    for (uint32_t y = 0; y < height; ++y) {
        const int kind = static_cast<int>(random() % 4);
        const auto colour = static_cast<uint8_t>(random() % colors);
        const uint32_t stripe = 1 + random() % 40;
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t value = colour;
            if (kind == 1)
                value = static_cast<uint8_t>((x / stripe) % colors);
            else if (kind == 2 && random() % 50 == 0)
                value = static_cast<uint8_t>(random() % colors);
            else if (kind == 3)
                value = static_cast<uint8_t>((x / 97) % colors);
            frame.Row(y)[x] = value;
        }
    }
}

}  // namespace qrv::test
