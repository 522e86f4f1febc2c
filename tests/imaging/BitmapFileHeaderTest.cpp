// The bitmap file header's data offset and the loader it calls for.

#include "imaging/BitmapFileHeader.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

TEST(BitmapFileHeader, TheDataOffsetDecidesTheLoader)
{
    auto header = [](uint32_t offset) {
        std::string h = "BM" + std::string(12, '\0');
        for (int i = 0; i < 4; ++i)
            h[10 + i] = static_cast<char>(offset >> (8 * i) & 0xFF);
        return h;
    };
    for (uint32_t offset : {0u, 54u, 1078u, 1079u, 0x12345678u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(BitmapDataOffset(header(offset)), offset);
        EXPECT_EQ(BitmapNeedsSystemLoader(BitmapDataOffset(header(offset))), offset >= 1079);
    }
    // A short header (a read that failed) counts as offset 0.
    EXPECT_EQ(BitmapDataOffset(header(5000).substr(0, 13)), 0u);
}
