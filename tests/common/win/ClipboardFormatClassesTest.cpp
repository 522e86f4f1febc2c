#include "common/FileDescriptorBlock.h"
#include "common/win/ClipboardFormatClasses.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/KyClipBoardFormats.h"
#include "common/win/TempFiles.h"
#include "framework/win/Handles.h"

#include "DropDataFake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wrl/client.h>

using namespace qrv;
using namespace qrv::test;
using Microsoft::WRL::ComPtr;

TEST(FileGroupDescriptorFormat, ReadsWholeBlocksOnlyAndRendersThem)
{
    std::vector<TFileDescriptorEntry> entries(2);
    entries[0].Name = L"eins.txt";
    entries[1].Name = L"zwei.txt";
    std::vector<uint8_t> block = BuildFileGroupDescriptor(entries, false, nullptr);

    TDropDataFake whole;
    whole.AddBlock(CFFileGroupDescriptor, block);
    TFileGroupDescritorClipboardFormat format;
    EXPECT_EQ(format.GetClipboardFormatName(), L"FileGroupDescriptor");
    EXPECT_TRUE(format.HasValidFormats(&whole));
    ASSERT_TRUE(format.GetData(&whole));
    EXPECT_TRUE(format.HasData());
    ASSERT_EQ(format.Entries().size(), 2u);
    EXPECT_EQ(format.Entries()[1].Name, L"zwei.txt");

    // Rendered into global memory and into a stream, the block reads back.
    for (const DWORD medium : {DWORD(TYMED_HGLOBAL), DWORD(TYMED_ISTREAM)}) {
        FORMATETC request = format.FormatEtc;
        request.tymed = medium;
        STGMEDIUM rendered{};
        ASSERT_TRUE(format.WriteData(request, rendered)) << medium;
        TFileGroupDescritorClipboardFormat again;
        ASSERT_TRUE(again.ReadData(rendered)) << medium;
        ReleaseStgMedium(&rendered);
        EXPECT_EQ(again.Entries().size(), 2u);
    }

    block[0] = 3;  // 4 + 332 x 2 bytes claiming 3 files
    TDropDataFake claimsThree;
    claimsThree.AddBlock(CFFileGroupDescriptor, block);
    EXPECT_FALSE(format.GetData(&claimsThree));
    EXPECT_FALSE(format.HasData());
}

TEST(FixedStreamAdapter, CopyToTheEndCopiesAllOfAStreamStandingAtItsEnd)
{
    auto source = std::make_unique<TMemoryStream>();
    std::string text(3 << 20, 'q');  // more than one chunk
    text[12345] = 'x';
    source->WriteBytes(text);  // left at its end
    ComPtr<IStream> adapter;
    adapter.Attach(new TFixedStreamAdapter(std::move(source)));

    ComPtr<IStream> target;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &target), S_OK);
    ULARGE_INTEGER all;
    all.QuadPart = ~0ull;
    ULARGE_INTEGER read{}, written{};
    ASSERT_EQ(adapter->CopyTo(target.Get(), all, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, text.size());
    EXPECT_EQ(written.QuadPart, text.size());
    STATSTG stat{};
    ASSERT_EQ(target->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, text.size());

    // Read back through the system's reader of streams.
    LARGE_INTEGER start{};
    target->Seek(start, STREAM_SEEK_SET, nullptr);
    const std::unique_ptr<TStream> copy = ReadComStream(target.Get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->ReadAll(), text);
}

TEST(TemporaryFileStream, HoldsWhatIsWrittenAndGoesWithTheStream)
{
    std::unique_ptr<TStream> stream = NewTemporaryFileStream(L"qdt");  // a prefix of this test alone
    stream->WriteBytes("Inhalt über 64 MB");
    stream->SetSize(5);
    EXPECT_EQ(stream->Size(), 5);
    stream->SetPosition(0);
    EXPECT_EQ(stream->ReadAll(), "Inhal");

    const std::wstring name = NewTemporaryFileName(L"qdn");
    ASSERT_FALSE(name.empty());
    EXPECT_NE(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES) << "made empty";
    EXPECT_TRUE(DeleteFileW(name.c_str()));

    // The system removes the stream's file when the stream closes: the
    // temporary folder holds no more files of ours than before.
    auto count = [] {
        int files = 0;
        WIN32_FIND_DATAW found;
        const std::wstring mask = TemporaryFolder() + L"qdt*.tmp";
        TFindHandle find(FindFirstFileW(mask.c_str(), &found));
        if (find) {
            do {
                ++files;
            } while (FindNextFileW(find.Get(), &found));
        }
        return files;
    };
    const int before = count();
    stream.reset();
    EXPECT_EQ(count(), before - 1);
}
