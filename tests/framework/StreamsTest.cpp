#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(MemoryStream, ReadWriteSeekAndSize)
{
    TMemoryStream stream;
    stream.WriteBytes("hello world");
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_EQ(stream.Position(), 11);
    stream.Seek(-5, TSeekOrigin::soEnd);
    char buffer[5];
    stream.ReadBuffer(buffer, 5);
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(stream.Read(buffer, 5), 0u) << "nothing left";
    EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);

    stream.SetPosition(20);  // writing past the end fills the gap with zeros
    stream.WriteBytes("!");
    EXPECT_EQ(stream.Size(), 21);
    EXPECT_EQ(stream.Bytes()[15], 0);
    EXPECT_THROW(stream.Seek(-1, TSeekOrigin::soBeginning), EStreamError);

    stream.SetSize(5);
    EXPECT_EQ(stream.Position(), 5);
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadAll(), "hello");
}

TEST(FileStream, CreateWriteReopenAndTruncate)
{
    test::TestDir dir;
    const std::wstring name = dir.File(L"Datei ä.bin");
    {
        TFileStream file(name, fmCreate);
        file.WriteBytes("0123456789");
        file.Seek(2, TSeekOrigin::soBeginning);
        char two[2];
        file.ReadBuffer(two, 2);
        EXPECT_EQ(std::string(two, 2), "23");
        file.WriteBytes("xy");  // write right after a read
        EXPECT_EQ(file.Size(), 10);
    }
    EXPECT_EQ(ReadFileBytes(name), "0123xy6789");
    {
        TFileStream file(name, fmOpenReadWrite);
        file.SetSize(4);
        EXPECT_EQ(file.Size(), 4);
    }
    EXPECT_EQ(ReadFileBytes(name), "0123");
}

TEST(FileStream, CopyFromAnotherStream)
{
    test::TestDir dir;
    TMemoryStream source;
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    source.WriteBytes(big);
    {
        TFileStream file(dir.File(L"copy.bin"), fmCreate);
        EXPECT_EQ(file.CopyFrom(source, 0), static_cast<int64_t>(big.size()));
    }
    EXPECT_EQ(dir.Read(L"copy.bin"), big);
}

TEST(FileStream, OpenFailuresRaiseTheirOwnExceptions)
{
    test::TestDir dir;
    EXPECT_THROW(TFileStream(dir.File(L"missing.bin"), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.File(L"no/such/folder.bin"), fmCreate), EFCreateError);
}
