#include "common/FileContentsList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::unique_ptr<TStream> StreamOf(const std::string& text)
{
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBytes(text);
    stream->SetPosition(0);
    return stream;
}

}  // namespace

TEST(FileContentsCollection, DescriptorsNameTheStreamsUntilTheFirstRefusal)
{
    std::vector<int> asked;
    const std::map<int, std::string> contents = {{0, "eins"}, {2, "drei"}};  // item 1 is refused
    const TFetchContents fetch = [&](int index) -> std::unique_ptr<TStream> {
        asked.push_back(index);
        const auto found = contents.find(index);
        return found == contents.end() ? nullptr : StreamOf(found->second);
    };
    TStreamList streams;
    int changes = 0;
    streams.OnChanging = [&] { ++changes; };
    EXPECT_TRUE(CollectFileContents(std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}, fetch, streams));
    EXPECT_EQ(asked, (std::vector<int>{0, 1}));
    ASSERT_EQ(streams.Count(), 1);
    EXPECT_EQ(streams.Names(0), L"a.txt");
    EXPECT_EQ(streams.Streams(0).ReadAll(), "eins");
    EXPECT_EQ(changes, 2) << "cleared, then one added";
}

TEST(FileContentsCollection, WithoutDescriptorOneAnonymousItem)
{
    std::vector<int> asked;
    TStreamList streams;
    EXPECT_TRUE(CollectFileContents(
        std::nullopt,
        [&](int index) {
            asked.push_back(index);
            return StreamOf("x");
        },
        streams));
    EXPECT_EQ(asked, (std::vector<int>{-1}));
    ASSERT_EQ(streams.Count(), 1);
    EXPECT_EQ(streams.Names(0), L"");

    EXPECT_FALSE(CollectFileContents(
        std::vector<std::wstring>{L"a"}, [](int) { return nullptr; }, streams));
    EXPECT_EQ(streams.Count(), 0) << "the earlier drop's streams are gone";
}

TEST(WholeSourceReading, ReadsPastTheReportedSizeAndSpillsAboveTheLimit)
{
    std::string source;
    for (int i = 0; i < 1000; ++i) {
        source += static_cast<char>('a' + i % 26);
    }
    struct Case {
        uint64_t hint;
        uint64_t limit;
        bool spills;
    };
    const Case cases[] = {{0, 4096, false}, {10, 4096, false}, {1 << 30, 4096, false}, {1000, 300, true}};
    for (const Case& c : cases) {
        size_t at = 0;
        bool spilled = false;
        const TReadSource read = [&](void* buffer, size_t count) {
            const size_t n = std::min<size_t>({count, source.size() - at, 77});  // short reads
            std::memcpy(buffer, source.data() + at, n);
            at += n;
            return n;
        };
        const auto stream = ReadWholeSource(
            read, c.hint,
            [&] {
                spilled = true;
                return std::make_unique<TMemoryStream>();
            },
            c.limit, 128);
        EXPECT_EQ(spilled, c.spills) << c.hint;
        EXPECT_EQ(stream->Size(), 1000);
        EXPECT_EQ(stream->ReadAll(), source) << c.hint;
    }
}
