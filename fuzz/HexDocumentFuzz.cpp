// The hex editor's document under arbitrary edit sequences and typed
// hexadecimal text: the data through the document always equals the same
// edits on a plain byte vector, searches agree with a naive search, and
// nothing reads or writes outside the data.

#include "viewers/HexDocument.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace qrv;

namespace {

// Reads the input front to back; zeros once it is used up.
class TInput {
public:
    TInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int64_t Number(int64_t limit) { return limit > 0 ? (Byte() | Byte() << 8) % limit : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TInput in(data, size);
    std::vector<uint8_t> expected(static_cast<size_t>(in.Number(200)));
    for (auto& b : expected)
        b = in.Byte();
    THexDocument doc;
    doc.MoveBlockSize = 1 + static_cast<size_t>(in.Number(64));
    doc.FindBlockSize = 1 + in.Number(64);
    doc.FindViewSize = 1 + in.Number(128);
    const uint8_t ways = in.Byte();
    doc.AllowAvx2 = (ways & 2) != 0;
    auto file = std::make_unique<TMemoryHexFile>(expected);
    file->Viewable = (ways & 1) != 0;  // the search looks at the data in place
    doc.Open(std::move(file));
    const THexEditPosition at;
    while (in.More()) {
        const auto sizeNow = static_cast<int64_t>(expected.size());
        const uint8_t op = in.Byte() % 7;
        const int64_t offset = in.Number(sizeNow + 2) - 1;  // also one before and one past the data
        std::vector<uint8_t> bytes(static_cast<size_t>(1 + in.Number(20)));
        for (auto& b : bytes)
            b = in.Byte();
        switch (op) {
        case 0:
            if (doc.ChangeByte(offset, bytes[0], true, at))
                expected[static_cast<size_t>(offset)] = bytes[0];
            break;
        case 1: {
            const int64_t to = offset + in.Number(40);
            const int64_t from = std::max<int64_t>(0, offset);
            const int64_t end = std::min(to, sizeNow);
            if (doc.DeleteRange(offset, to, at))
                expected.erase(expected.begin() + from, expected.begin() + end);
            break;
        }
        case 2: {
            const int64_t where = std::clamp<int64_t>(offset, 0, sizeNow);
            if (doc.InsertBytes(offset, bytes.data(), bytes.size(), at))
                expected.insert(expected.begin() + where, bytes.begin(), bytes.end());
            break;
        }
        case 3:
            if (doc.AppendBytes(bytes.data(), bytes.size(), at))
                expected.insert(expected.end(), bytes.begin(), bytes.end());
            break;
        case 4: {
            int64_t start = offset;
            size_t count = bytes.size();
            const int64_t length = in.Number(30);
            doc.NoSizeChange = in.Byte() & 1;
            if (doc.ReplaceRange(start, length, bytes.data(), count, at)) {
                const int64_t replaced =
                    doc.NoSizeChange ? static_cast<int64_t>(count) : std::min(length, sizeNow - start);
                expected.erase(expected.begin() + start, expected.begin() + start + replaced);
                expected.insert(expected.begin() + start, bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(count));
            }
            doc.NoSizeChange = false;
            break;
        }
        case 5: {
            const int64_t first = offset;
            const int64_t last = in.Number(sizeNow + 10);
            const auto length = static_cast<int64_t>(std::min<size_t>(bytes.size(), 4));
            int64_t naive = -1;
            for (int64_t s = std::max<int64_t>(0, first); s + length <= std::min(last, sizeNow - 1) + 1; ++s)
                if (std::equal(bytes.begin(), bytes.begin() + length, expected.begin() + s)) {
                    naive = s;
                    break;
                }
            Check(doc.Find(bytes.data(), length, nullptr, last, first) == naive);
            break;
        }
        case 6: {
            const std::u16string text(bytes.begin(), bytes.end());
            const std::vector<uint8_t> parsed = HexStringToBytes(text, bytes[0] & 1);
            Check(parsed.size() <= text.size() / 2);
            break;
        }
        }
        Check(doc.Size() == static_cast<int64_t>(expected.size()));
        Check(doc.JournalCount() <= THexDocument::JournalLimit);
    }
    int64_t count = doc.Size();
    if (count > 0)
        Check(doc.BufferFromFile(0, count) == expected);
    return 0;
}
