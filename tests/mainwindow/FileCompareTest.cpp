// The byte comparison of two files, over files held in memory.

#include "mainwindow/FileCompare.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// Files in memory; counts the bytes read so a test can see what was read.
class MemoryFiles {
public:
    std::map<std::wstring, std::vector<uint8_t>> Files;
    std::vector<std::wstring> Unsizable;  // open, but their size cannot be found
    int64_t BytesRead = 0;
    int MessagePumps = 0;
    std::function<bool()> Abort;
    std::function<void()> OnPump;

    TFileCompareHost Host()
    {
        TFileCompareHost host;
        host.Open = [this](const std::wstring& name) -> std::unique_ptr<TCompareFile> {
            const auto found = Files.find(name);
            if (found == Files.end())
                return nullptr;
            const bool sizable = std::find(Unsizable.begin(), Unsizable.end(), name) == Unsizable.end();
            return std::make_unique<File>(found->second, sizable, BytesRead);
        };
        host.ProcessMessages = [this] {
            ++MessagePumps;
            if (OnPump)
                OnPump();
        };
        host.AbortRequested = [this] { return Abort && Abort(); };
        return host;
    }

private:
    class File : public TCompareFile {
    public:
        File(const std::vector<uint8_t>& data, bool sizable, int64_t& read)
            : data_(data), sizable_(sizable), read_(read)
        {}
        int64_t Size() override { return sizable_ ? static_cast<int64_t>(data_.size()) : -1; }
        int64_t Read(uint8_t* buffer, int64_t count) override
        {
            const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(data_.size()) - pos_);
            std::copy_n(data_.begin() + pos_, n, buffer);
            pos_ += n;
            read_ += n;
            return n;
        }

    private:
        const std::vector<uint8_t>& data_;
        bool sizable_;
        int64_t& read_;
        int64_t pos_ = 0;
    };
};

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return data;
}

}  // namespace

TEST(CompareFileContents, ResultCodes)
{
    const size_t twoBlocks = static_cast<size_t>(kCompareBlockSize) + 1000;
    std::vector<uint8_t> secondBlockDiffers = Pattern(twoBlocks);
    secondBlockDiffers[static_cast<size_t>(kCompareBlockSize) + 10] ^= 1;
    std::vector<uint8_t> lastByteDiffers = Pattern(100);
    lastByteDiffers[99] ^= 0x80;

    MemoryFiles files;
    files.Files = {
        {L"a", Pattern(100)},
        {L"a copy", Pattern(100)},
        {L"last byte", lastByteDiffers},
        {L"big", Pattern(twoBlocks)},
        {L"big changed", secondBlockDiffers},
        {L"empty", {}},
        {L"empty too", {}},
        {L"no size", Pattern(100)},
    };
    files.Unsizable = {L"no size"};
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        uint8_t result;
    } cases[] = {
        {L"a", L"a", crEqual},
        {L"a", L"a copy", crEqual},
        {L"a", L"last byte", crDifferent},
        {L"big", L"big", crEqual},
        {L"big", L"big changed", crDifferent},
        {L"empty", L"empty too", crEqual},
        {L"missing", L"a", crOpenFailedA},
        {L"a", L"missing", crOpenFailedB},
        {L"no size", L"a", crOpenFailedA},
        {L"a", L"no size", crOpenFailedB},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareFileContents(c.a, c.b, files.Host()), c.result) << c.a << " / " << c.b;
}

TEST(CompareFileContents, DifferentSizesDifferWithoutReading)
{
    MemoryFiles files;
    files.Files = {{L"short", Pattern(10)}, {L"long", Pattern(11)}};
    EXPECT_EQ(CompareFileContents(L"short", L"long", files.Host()), crDifferent);
    EXPECT_EQ(files.BytesRead, 0);
}

TEST(CompareFileContents, ReadsInBlocksAndPumpsMessagesBeforeEach)
{
    MemoryFiles files;
    files.Files = {{L"big", Pattern(static_cast<size_t>(kCompareBlockSize) * 2 + 1)}};
    EXPECT_EQ(CompareFileContents(L"big", L"big", files.Host()), crEqual);
    EXPECT_EQ(files.MessagePumps, 3);
    EXPECT_EQ(files.BytesRead, 2 * (kCompareBlockSize * 2 + 1));
}

TEST(CompareFileContents, AbortStopsAfterTheBlockInWhichItCame)
{
    MemoryFiles files;
    files.Files = {{L"big", Pattern(static_cast<size_t>(kCompareBlockSize) * 3)}};
    int asked = 0;
    files.Abort = [&asked] { return ++asked == 1; };
    EXPECT_EQ(CompareFileContents(L"big", L"big", files.Host()), crAborted);
    EXPECT_EQ(files.BytesRead, 2 * kCompareBlockSize) << "one block of each file";
}

TEST(CompareFileContents, ASecondComparisonFromTheMessagePumpIsRefused)
{
    MemoryFiles files;
    files.Files = {{L"a", Pattern(100)}};
    uint8_t inner = 0xFF;
    files.OnPump = [&] {
        EXPECT_TRUE(FileComparisonRunning());
        inner = CompareFileContents(L"a", L"a", files.Host());
    };
    EXPECT_EQ(CompareFileContents(L"a", L"a", files.Host()), crEqual);
    EXPECT_EQ(inner, crBusy);
    EXPECT_FALSE(FileComparisonRunning());
    files.OnPump = nullptr;
    EXPECT_EQ(CompareFileContents(L"a", L"a", files.Host()), crEqual) << "the guard is released";
}

TEST(CompareFileContents, ShortReadsAreReadErrorsOfTheirFile)
{
    // A file that reports more bytes than it delivers.
    class Truncated : public TCompareFile {
    public:
        int64_t Size() override { return 10; }
        int64_t Read(uint8_t* buffer, int64_t) override
        {
            std::fill_n(buffer, 5, uint8_t{0});
            return 5;
        }
    };
    class Zeros : public TCompareFile {
    public:
        int64_t Size() override { return 10; }
        int64_t Read(uint8_t* buffer, int64_t count) override
        {
            std::fill_n(buffer, count, uint8_t{0});
            return count;
        }
    };
    TFileCompareHost host;
    host.Open = [](const std::wstring& name) -> std::unique_ptr<TCompareFile> {
        if (name == L"truncated")
            return std::make_unique<Truncated>();
        return std::make_unique<Zeros>();
    };
    EXPECT_EQ(CompareFileContents(L"truncated", L"zeros", host), crReadFailedA);
    EXPECT_EQ(CompareFileContents(L"zeros", L"truncated", host), crReadFailedB);
}
