#include "framework/SysUtils.h"
#include "viewers/OleDataHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t word : words)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
    return bytes;
}

struct THeaderCase {
    const char* Name;
    std::vector<uint8_t> Stream;  // the header and what follows it
    bool OldFormatAllowed;
    bool Valid;
    uint32_t Aspect;
    uint32_t Length;
};

}  // namespace

TEST(OleDataHeader, DecodesOrRefusesEachForm)
{
    std::vector<uint8_t> withStorage = Bytes({kOleDataSignature, 4, 512});
    withStorage.resize(kOleDataHeaderSize + 512, 0xAB);
    std::vector<uint8_t> oldForm = Bytes({0x00200010, 0x00600050, 8});  // 16,32,80,96
    oldForm.resize(kOleDataHeaderSize + 8);
    std::vector<uint8_t> elevenBytes = Bytes({kOleDataSignature, 1, 0});
    elevenBytes.pop_back();
    const THeaderCase cases[] = {
        {"content aspect", Bytes({kOleDataSignature, 1, 4, 0}), false, true, 1, 4},
        {"icon aspect, storage after it", withStorage, false, true, 4, 512},
        {"length beyond the stream by one byte", Bytes({kOleDataSignature, 1, 5, 0}), false, false, 0, 0},
        {"length far beyond the stream", Bytes({kOleDataSignature, 1, 0xFFFFFFFF}), false, false, 0, 0},
        {"length 0: no compound file", Bytes({kOleDataSignature, 1, 0}), false, false, 0, 0},
        {"11 bytes", elevenBytes, true, false, 0, 0},
        {"nothing", {}, true, false, 0, 0},
        {"aspect neither content nor icon", Bytes({kOleDataSignature, 2, 4, 0}), false, false, 0, 0},
        {"wrong signature", oldForm, false, false, 0, 0},
        {"wrong signature read as the old form", oldForm, true, true, 1, 8},
        {"old form whose length is beyond the stream", Bytes({0, 0, 9, 0, 0}), true, false, 0, 0},
        {"signature read as the current form also when the old one is allowed", Bytes({kOleDataSignature, 4, 4, 0}),
         true, true, 4, 4},
    };
    for (const THeaderCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (!c.Valid) {
            try {
                DecodeOleDataHeader(c.Stream.data(), c.Stream.size(), c.OldFormatAllowed);
                ADD_FAILURE() << "accepted";
            } catch (const EOleError& error) {
                EXPECT_EQ(error.Message(), L"Ungültiges Stream-Format");
            }
            continue;
        }
        const TOleDataHeader header = DecodeOleDataHeader(c.Stream.data(), c.Stream.size(), c.OldFormatAllowed);
        EXPECT_EQ(header.Aspect, c.Aspect);
        EXPECT_EQ(header.Length, c.Length);
    }
}

TEST(OleDataHeader, RoundTripsBothForms)
{
    TOleDataHeader current;
    current.Aspect = kOleAspectIcon;
    current.Length = 1536;
    std::vector<uint8_t> stream(kOleDataHeaderSize + 1536);
    auto bytes = EncodeOleDataHeader(current);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "BDOC");
    std::copy(bytes.begin(), bytes.end(), stream.begin());
    TOleDataHeader read = DecodeOleDataHeader(stream.data(), stream.size(), false);
    EXPECT_FALSE(read.OldFormat);
    EXPECT_EQ(read.Aspect, kOleAspectIcon);
    EXPECT_EQ(read.Length, 1536u);

    TOleDataHeader old;
    old.OldFormat = true;
    old.Left = -4;
    old.Top = 7;
    old.Right = 300;
    old.Bottom = 32000;
    old.Length = 1536;
    bytes = EncodeOleDataHeader(old);
    std::copy(bytes.begin(), bytes.end(), stream.begin());
    EXPECT_THROW(DecodeOleDataHeader(stream.data(), stream.size(), false), EOleError);
    read = DecodeOleDataHeader(stream.data(), stream.size(), true);
    EXPECT_TRUE(read.OldFormat);
    EXPECT_EQ(read.Aspect, kOleAspectContent);
    EXPECT_EQ(read.Left, -4);
    EXPECT_EQ(read.Top, 7);
    EXPECT_EQ(read.Right, 300);
    EXPECT_EQ(read.Bottom, 32000);
    EXPECT_EQ(read.Length, 1536u);
}
