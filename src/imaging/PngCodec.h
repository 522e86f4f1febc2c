#pragma once
// The pixel codec of PNG: inflating the image data across IDAT chunks,
// undoing the row filters, Adam7, converting each colour type and bit depth
// into the held image and back, choosing a filter per row and splitting the
// output into IDAT chunks. Portable.

#include <cstddef>
#include <cstdint>

namespace qrv {

class TPngPicture;
class TChunkIHDR;
class TStream;

// Bytes of one PNG row of that width, and the filter's left distance.
size_t PngRowBytes(uint8_t colorType, uint8_t bitDepth, uint32_t width);
size_t PngPixelOffset(uint8_t colorType, uint8_t bitDepth);

// Decodes the image of the header from the IDAT chunk whose length and name
// have just been read (size data bytes follow) and from the IDAT chunks
// directly after it. Leaves the stream behind the CRC of the last chunk read.
void DecodeImageData(TPngPicture& picture, TChunkIHDR& header, TStream& stream, uint32_t size);
// Writes the whole image as IDAT chunks of the picture's IdatLimit bytes.
void EncodeImageData(TPngPicture& picture, TChunkIHDR& header, TStream& stream);

}  // namespace qrv
