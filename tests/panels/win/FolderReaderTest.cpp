#include "panels/win/FolderReader.h"

#include "TestDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

using namespace qrv;

namespace {

using TEntries = std::map<std::wstring, std::tuple<uint32_t, uint64_t, uint64_t>>;

// What a plain search of the folder finds: name, attributes, size, time.
TEntries SearchedEntries(const std::wstring& folder)
{
    TEntries entries;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &data);
    EXPECT_NE(find, INVALID_HANDLE_VALUE);
    if (find == INVALID_HANDLE_VALUE)
        return entries;
    do
        entries[data.cFileName] = {
            data.dwFileAttributes, static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
            static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime};
    while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

// More entries than the first batches hold, of several sizes, and a folder.
class FolderReaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"viele");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unterordner").c_str(), nullptr));
        for (int i = 0; i < kFiles; ++i)
            dir.Write(L"viele\\Datei " + std::to_wstring(i) + L".txt", std::string(static_cast<size_t>(i % 7), 'x'));
    }

    static constexpr int kFiles = 2500;
    test::TestDir dir;
    std::wstring folder;
};

TEST_F(FolderReaderTest, HandsOverEveryEntryAsTheSystemsSearchFindsIt)
{
    TFolderReader reader(folder + L"\\*.*");
    TEntries read;
    int batches = 0;
    TFoundEntries batch;
    while (reader.Next(batch)) {
        ++batches;
        size_t start = 0;
        for (const TFoundEntries::TEntry& entry : batch.Entries) {
            const std::wstring name = batch.Names.substr(start, entry.NameEnd - start);
            start = entry.NameEnd;
            EXPECT_TRUE(read.emplace(name, std::make_tuple(entry.Attr, entry.Size, entry.LastWrite)).second) << "twice";
        }
        EXPECT_EQ(start, batch.Names.size());
    }
    EXPECT_EQ(reader.Error(), 0u);
    EXPECT_GT(batches, 2);
    EXPECT_EQ(read.size(), kFiles + 3u);  // with ".", ".." and the folder
    EXPECT_EQ(read, SearchedEntries(folder));
}

TEST_F(FolderReaderTest, AMissingFolderGivesTheSystemsError)
{
    TFolderReader reader(folder + L"\\fehlt\\*.*");
    TFoundEntries batch;
    EXPECT_FALSE(reader.Next(batch));
    EXPECT_EQ(reader.Error(), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FolderReaderTest, AReaderLeftAfterItsFirstBatchStops)
{
    for (int round = 0; round < 20; ++round) {
        TFolderReader reader(folder + L"\\*.*");
        TFoundEntries batch;
        ASSERT_TRUE(reader.Next(batch));
        EXPECT_FALSE(batch.Entries.empty());
    }
}

}  // namespace
