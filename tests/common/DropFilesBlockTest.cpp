#include "common/DropFilesBlock.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

std::vector<uint8_t> Header(uint32_t offset, bool wide)
{
    std::vector<uint8_t> block(kDropFilesHeaderSize, 0);
    block[0] = static_cast<uint8_t>(offset);
    block[1] = static_cast<uint8_t>(offset >> 8);
    block[16] = wide ? 1 : 0;
    return block;
}

void AppendWide(std::vector<uint8_t>& block, const std::wstring& text)
{
    for (wchar_t unit : text) {
        block.push_back(static_cast<uint8_t>(unit & 0xFF));
        block.push_back(static_cast<uint8_t>(unit >> 8));
    }
}

std::optional<std::vector<std::wstring>> Parse(const std::vector<uint8_t>& block)
{
    return ParseDropFiles(block.data(), block.size(), nullptr);
}

}  // namespace

TEST(DropFilesBlock, WideBlockRoundTripsWithNonAsciiNames)
{
    const std::vector<std::wstring> names = {L"T:\\Ordner\\Übersicht.txt", L"T:\\Ordner\\Projekt", L"\\\\srv\\s\\€"};
    const std::vector<uint8_t> block = BuildDropFiles(names);
    ASSERT_EQ(block.size(), kDropFilesHeaderSize + 2 * (names[0].size() + names[1].size() + names[2].size() + 4));
    EXPECT_EQ(block[16], 1) << "wide flag";
    const auto parsed = Parse(block);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, names);
    EXPECT_THROW(BuildDropFiles({L""}), EInvalidOperation);
}

TEST(DropFilesBlock, AnsiBlockGoesThroughTheDecoderAndMayStartAfterExtraHeaderBytes)
{
    std::vector<uint8_t> block = Header(24, false);
    block.resize(24, 0xEE);
    for (char c : std::string("C:\\a\xC4.txt")) {
        block.push_back(static_cast<uint8_t>(c));
    }
    block.push_back(0);
    for (char c : std::string("C:\\b")) {
        block.push_back(static_cast<uint8_t>(c));
    }
    block.push_back(0);
    block.push_back(0);
    std::vector<std::string> seen;
    const auto parsed = ParseDropFiles(block.data(), block.size(), [&](std::string_view raw) {
        seen.emplace_back(raw);
        return std::wstring(L"<") + std::wstring(raw.begin(), raw.end()) + L">";
    });
    ASSERT_TRUE(parsed);
    EXPECT_EQ(seen, (std::vector<std::string>{"C:\\a\xC4.txt", "C:\\b"}));
    ASSERT_EQ(parsed->size(), 2u);
    EXPECT_EQ((*parsed)[1], L"<C:\\b>");
}

TEST(DropFilesBlock, MalformedBlocksAreRejected)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
    };
    std::vector<Case> cases;
    cases.push_back({"shorter than the header", std::vector<uint8_t>(19, 0)});
    {
        auto b = Header(8, true);  // names inside the header
        AppendWide(b, std::wstring(L"C:\\x\0\0", 6));
        cases.push_back({"offset inside the header", b});
    }
    {
        auto b = Header(400, true);
        AppendWide(b, std::wstring(L"C:\\x\0\0", 6));
        cases.push_back({"offset beyond the end", b});
    }
    cases.push_back({"offset at the end", Header(20, true)});
    {
        auto b = Header(20, true);
        AppendWide(b, L"C:\\unterminated");
        cases.push_back({"name without its NUL", b});
    }
    {
        auto b = Header(20, true);
        AppendWide(b, std::wstring(L"C:\\x\0", 5));
        cases.push_back({"list without its closing NUL", b});
    }
    {
        auto b = Header(20, true);
        AppendWide(b, std::wstring(L"C:\\x\0", 5));
        b.push_back(0);  // half a closing unit
        cases.push_back({"odd byte instead of the closing NUL", b});
    }
    {
        auto b = Header(20, false);
        for (char c : std::string("C:\\x")) {
            b.push_back(static_cast<uint8_t>(c));
        }
        cases.push_back({"ANSI name without its NUL", b});
    }
    for (const Case& c : cases) {
        EXPECT_FALSE(Parse(c.block)) << c.what;
    }
    EXPECT_FALSE(ParseDropFiles(nullptr, 40, nullptr));
}

TEST(DropFilesBlock, EmptyListIsValidAndEmpty)
{
    auto b = Header(20, true);
    b.push_back(0);
    b.push_back(0);
    const auto parsed = Parse(b);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->empty());
}

TEST(DropFilesBlock, PreferredEffectDecidesBetweenMoveAndCopy)
{
    const auto cut = BuildPreferredDropEffect(deMove);
    ASSERT_EQ(cut.size(), 4u);
    EXPECT_EQ(ParsePreferredDropEffect(cut.data(), cut.size()), std::optional<uint32_t>(2));
    EXPECT_FALSE(ParsePreferredDropEffect(cut.data(), 3));

    const std::pair<std::optional<uint32_t>, TDropEffect> cases[] = {
        {deMove, deMove},          {deCopy, deCopy}, {deCopy | deLink, deCopy}, {deCopy | deMove, deCopy},
        {deMove | deLink, deMove}, {deLink, deCopy}, {deNone, deCopy},          {std::nullopt, deCopy},
    };
    for (const auto& [effect, expected] : cases) {
        EXPECT_EQ(PasteEffect(effect), expected) << (effect ? *effect : 999);
    }
}

TEST(FileNameMapBlock, WideMapRoundTripsAndAnsiMapDecodes)
{
    const std::vector<std::wstring> names = {L"Kopie von Ωmega.txt", L"b.txt"};
    const std::vector<uint8_t> wide = BuildFileNameMapW(names);
    EXPECT_EQ(wide.size(), (names[0].size() + 1 + names[1].size() + 1 + 1) * 2);
    EXPECT_EQ(ParseFileNameMap(wide.data(), wide.size(), true, nullptr), names);

    const std::string ansi("neu.txt\0zwei\xFC.txt\0\0", 19);
    const auto decoded = ParseFileNameMap(reinterpret_cast<const uint8_t*>(ansi.data()), ansi.size(), false, nullptr);
    EXPECT_EQ(decoded, (std::vector<std::wstring>{L"neu.txt", L"zwei\u00FC.txt"}));

    const std::vector<uint8_t> unterminated(wide.begin(), wide.end() - 2);
    EXPECT_FALSE(ParseFileNameMap(unterminated.data(), unterminated.size(), true, nullptr));
}

TEST(FileNameMapBlock, MapsWithFewerAndMoreNamesThanFiles)
{
    EXPECT_EQ(MappedNamesFor(3, {L"x", L"y"}), (std::vector<std::wstring>{L"x", L"y", L""}));
    EXPECT_EQ(MappedNamesFor(1, {L"x", L"y"}), (std::vector<std::wstring>{L"x"})) << "extra names are dropped";
}

TEST(DropFilesBlock, ThreeFilesTakeTheHeaderTheirNamesAndTheClosingNul)
{
    const std::vector<std::wstring> names = {L"C:\\Ordner\\a.txt", L"C:\\Ordner\\b.txt", L"C:\\Ordner\\Ωmega.txt"};
    size_t units = 0;
    for (const auto& name : names) {
        units += name.size() + 1;
    }
    const std::vector<uint8_t> block = BuildDropFiles(names);
    EXPECT_EQ(block.size(), kDropFilesHeaderSize + units * 2 + 2);
    EXPECT_EQ(ParseDropFiles(block.data(), block.size(), nullptr), names);
}
