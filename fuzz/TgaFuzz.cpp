// Targa files from outside: decoding must end with a picture of the size it
// says or with the format error, staying in bounds.
#include "RasterFuzz.h"
#include "imaging/TargaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qrv::fuzz::DecodeRaster(data, size, qrv::DecodeTga);
    return 0;
}
