#include "GiflibOracle.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace qrv::test {

namespace {

struct TReadState {
    const std::string* Bytes;
    size_t Position = 0;
};

int ReadFromString(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* state = static_cast<TReadState*>(gif->UserData);
    const size_t part = std::min<size_t>(static_cast<size_t>(count), state->Bytes->size() - state->Position);
    std::memcpy(buffer, state->Bytes->data() + state->Position, part);
    state->Position += part;
    return static_cast<int>(part);
}

int WriteToString(GifFileType* gif, const GifByteType* buffer, int count)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
    return count;
}

std::vector<uint8_t> MapBytes(const ColorMapObject* map)
{
    std::vector<uint8_t> bytes;
    if (!map)
        return bytes;
    for (int i = 0; i < map->ColorCount; ++i) {
        bytes.push_back(map->Colors[i].Red);
        bytes.push_back(map->Colors[i].Green);
        bytes.push_back(map->Colors[i].Blue);
    }
    return bytes;
}

std::vector<TGiflibExtension> Extensions(int count, const ExtensionBlock* blocks)
{
    std::vector<TGiflibExtension> extensions;
    for (int i = 0; i < count; ++i)
        extensions.push_back({blocks[i].Function, std::string(reinterpret_cast<const char*>(blocks[i].Bytes),
                                                              static_cast<size_t>(blocks[i].ByteCount))});
    return extensions;
}

}  // namespace

TGiflibFile GiflibDecode(const std::string& bytes)
{
    TGiflibFile file;
    TReadState state{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&state, ReadFromString, &error);
    if (!gif) {
        file.Error = error;
        return file;
    }
    file.Ok = DGifSlurp(gif) == GIF_OK;
    file.Error = gif->Error;
    file.Width = gif->SWidth;
    file.Height = gif->SHeight;
    file.GlobalMap = MapBytes(gif->SColorMap);
    if (file.Ok) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            TGiflibFrame frame;
            frame.Left = image.ImageDesc.Left;
            frame.Top = image.ImageDesc.Top;
            frame.Width = image.ImageDesc.Width;
            frame.Height = image.ImageDesc.Height;
            frame.Interlace = image.ImageDesc.Interlace;
            frame.LocalMap = MapBytes(image.ImageDesc.ColorMap);
            frame.Pixels.assign(image.RasterBits, image.RasterBits + static_cast<size_t>(frame.Width) *
                                                                         static_cast<size_t>(frame.Height));
            frame.Extensions = Extensions(image.ExtensionBlockCount, image.ExtensionBlocks);
            file.Frames.push_back(std::move(frame));
        }
        file.TrailingExtensions = Extensions(gif->ExtensionBlockCount, gif->ExtensionBlocks);
    }
    DGifCloseFile(gif, &error);
    return file;
}

std::string GiflibEncode(int width, int height, int bits, const std::vector<uint8_t>& pixels)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    if (!gif)
        return {};
    std::vector<GifColorType> colors(static_cast<size_t>(1) << bits);
    for (size_t i = 0; i < colors.size(); ++i)
        colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
    bool ok = EGifPutScreenDesc(gif, width, height, bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data() + static_cast<size_t>(y) * width), width) ==
             GIF_OK;
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return ok ? out : std::string();
}

}  // namespace qrv::test
