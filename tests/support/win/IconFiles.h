#pragma once
// Icon and cursor files made in memory for the tests: one-colour 32-bit
// images with an opaque mask, in the file layout the system reads.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::test {

inline void PutWord(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

inline void PutDWord(std::string& out, uint32_t value)
{
    PutWord(out, static_cast<uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<uint16_t>(value >> 16));
}

// One image of an icon file: a 32-bit bitmap of one colour and its mask.
inline std::string IconImage(int size, COLORREF color)
{
    std::string image;
    PutDWord(image, 40);
    PutDWord(image, static_cast<uint32_t>(size));
    PutDWord(image, static_cast<uint32_t>(size * 2));  // colour and mask
    PutWord(image, 1);
    PutWord(image, 32);
    for (int i = 0; i < 6; ++i)
        PutDWord(image, 0);
    for (int i = 0; i < size * size; ++i) {
        image.push_back(static_cast<char>(GetBValue(color)));
        image.push_back(static_cast<char>(GetGValue(color)));
        image.push_back(static_cast<char>(GetRValue(color)));
        image.push_back(static_cast<char>(0xFF));
    }
    image.append(static_cast<size_t>((size + 31) / 32 * 4 * size), '\0');  // all opaque
    return image;
}

struct TImageSpec {
    int size;
    COLORREF color;
};

// An icon (type 1) or cursor (type 2, hot spot 1,2) file of those images.
inline std::string IconFile(uint16_t type, const std::vector<TImageSpec>& images)
{
    std::string file;
    PutWord(file, 0);
    PutWord(file, type);
    PutWord(file, static_cast<uint16_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    std::string data;
    for (const TImageSpec& spec : images) {
        const std::string image = IconImage(spec.size, spec.color);
        file.push_back(static_cast<char>(spec.size));
        file.push_back(static_cast<char>(spec.size));
        file.push_back(0);
        file.push_back(0);
        PutWord(file, type == 2 ? 1 : 1);   // planes, or the hot spot's x
        PutWord(file, type == 2 ? 2 : 32);  // bits, or the hot spot's y
        PutDWord(file, static_cast<uint32_t>(image.size()));
        PutDWord(file, offset);
        offset += static_cast<uint32_t>(image.size());
        data += image;
    }
    return file + data;
}

}  // namespace qrv::test
