#include "framework/Streams.h"
#include "viewers/SingleByteCodePages.h"
#include "viewers/win/TextConversion.h"
#include "viewers/win/WinCodePage.h"

#include <gtest/gtest.h>

using namespace qrv;
using namespace std::string_literals;

namespace {

// Reads the whole stream through the conversion with the control's buffer
// of `size` bytes; checks that no buffer ends inside a surrogate pair.
std::u16string ReadAll(TConversion& conversion, const std::string& bytes, size_t size)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    conversion.BeginTransfer(true);
    std::u16string text;
    std::vector<uint8_t> buffer(size);
    for (;;) {
        const size_t n = conversion.ConvertReadStream(stream, buffer.data(), buffer.size());
        if (n == 0)
            break;
        EXPECT_EQ(n % 2, 0u);
        const auto* units = reinterpret_cast<const char16_t*>(buffer.data());
        EXPECT_FALSE(n < bytes.size() * 2 && n / 2 > 1 && IsHighSurrogate(units[n / 2 - 1]) &&
                     stream.Position() < stream.Size())
            << "a pair cut between buffers";
        text.append(units, n / 2);
    }
    return text;
}

}  // namespace

TEST(TextConversion, HostTablesMatchTheSystemsCodePages)
{
    const std::pair<UINT, const TSingleByteCodePage*> pages[] = {{1252, &CodePage1252()}, {850, &CodePage850()}};
    for (const auto& [number, table] : pages) {
        const TWinCodePage system(number);
        for (int byte = 0; byte < 256; ++byte) {
            std::u16string text;
            system.Decode(std::string(1, static_cast<char>(byte)), text);
            ASSERT_EQ(text.size(), 1u);
            EXPECT_EQ(text[0], table->CharOf(static_cast<uint8_t>(byte))) << "code page " << number << " byte " << byte;
        }
    }
}

TEST(TextConversion, ReadsTheSameTextWithAnyBufferSize)
{
    std::string utf16 = "\xfe\xff";
    for (const char16_t c : u"A\U0001F600\u00e4\r\n") {
        if (c == 0)
            break;
        utf16.push_back(static_cast<char>(c >> 8));
        utf16.push_back(static_cast<char>(c & 0xFF));
    }
    TUnicodeConversionDOS8 unicode;
    TConversion ansi;
    const std::string ansiBytes = "Gr\xfc\xdf"
                                  "e \x80\x81\r\n";
    const std::u16string unicodeWhole = ReadAll(unicode, utf16, 4096);
    const std::u16string ansiWhole = ReadAll(ansi, ansiBytes, 4096);
    EXPECT_EQ(unicodeWhole, u"A\U0001F600\u00e4\r\n");
    EXPECT_EQ(ansiWhole, u"Gr\u00fc\u00dfe \u20ac\u0081\r\n");
    for (const size_t size : {2u, 4u, 6u, 7u}) {
        EXPECT_EQ(ReadAll(unicode, utf16, size), unicodeWhole) << size;
        EXPECT_EQ(ReadAll(ansi, ansiBytes, size), ansiWhole) << size;
    }
}

TEST(TextConversion, WritesTheFilesCodePageAndLineEnds)
{
    const std::u16string text = u"\u2554\u2550\r\n\u00e4\r\n";
    const std::string control(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    auto write = [&](TConversion& conversion) {
        TMemoryStream stream;
        conversion.BeginTransfer(true);
        for (size_t i = 0; i < control.size(); i += 3)
            conversion.ConvertWriteStream(stream, reinterpret_cast<const uint8_t*>(control.data() + i),
                                          std::min<size_t>(3, control.size() - i));
        conversion.EndWrite(stream);
        return std::string(stream.Bytes().begin(), stream.Bytes().end());
    };
    std::string oem(4, '\0');
    WideCharToMultiByte(CP_OEMCP, 0, L"\u2554\u2550\u00e4", 3, oem.data(), 4, nullptr, nullptr);
    oem.resize(3);
    TOEMConversion toOem;
    EXPECT_EQ(write(toOem), oem.substr(0, 2) + "\r\n" + oem.substr(2) + "\r\n");
    TUNIXConversion unixOem(TUNIXConversion::TCodePageKind::Oem);
    EXPECT_EQ(write(unixOem), oem.substr(0, 2) + "\n" + oem.substr(2) + "\n") << "no CR, still OEM";
    std::string ansi(4, '\0');
    WideCharToMultiByte(CP_ACP, 0, L"\u2554\u2550\u00e4", 3, ansi.data(), 4, nullptr, nullptr);
    ansi.resize(3);
    TUNIXConversion unixAnsi;
    EXPECT_EQ(write(unixAnsi), ansi.substr(0, 2) + "\n" + ansi.substr(2) + "\n");
}
