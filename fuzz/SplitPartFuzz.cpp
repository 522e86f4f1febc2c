// Part files from outside: the input is cut into part files at each header
// magic. Every header read back encodes to the same fields; the parts are
// laid out in a folder under plain names and under the names their headers
// claim, selected all and joined. Whatever they hold, the join writes only
// plain file names inside the target folder, and no joined file grows beyond
// the data the parts carry. A small input is also split and joined again and
// must come back the same.
#include "MemorySplitFiles.h"
#include "framework/Encoding.h"
#include "common/SafeExtractPath.h"
#include "mainwindow/SplitJoin.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace qrv;
using namespace qrv::test;

namespace {

const std::string kMagic = std::string("\x0c") + "quorvan32SPT";

void CheckHeader(std::string_view Bytes)
{
    const auto header = DecodeSplitHeader(std::span(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()));
    if (!header)
        return;
    const TSplitHeaderBytes again = EncodeSplitHeader(*header);
    if (DecodeSplitHeader(again) != header)
        std::abort();
}

void JoinParts(const std::vector<std::string>& Parts, uint8_t Answers)
{
    TMemorySplitFiles files;
    TRecordingSplitUi user;
    // The answers vary with the input: overwrite or not, ignore or cancel.
    user.Default = [Answers](const std::wstring&, uint8_t buttons) {
        if (buttons & sbYes)
            return Answers & 1 ? sbYes : sbNo;
        if (buttons & sbIgnore)
            return Answers & 2 ? sbIgnore : sbCancel;
        return sbOk;
    };
    const TSplitJoinUi ui = user.Ui();
    TSplitJoin engine(files, ui, TEncoding::Windows1252());
    const std::wstring folder = L"S:\\parts\\";
    const std::wstring target = L"T:\\out\\";
    std::vector<std::wstring> selected;
    uint64_t carried = 0;
    for (size_t i = 0; i < Parts.size(); ++i) {
        const std::string& part = Parts[i];
        carried += part.size() > kSplitHeaderSize ? part.size() - kSplitHeaderSize : 0;
        selected.push_back(SplitPartName(folder + L"F", static_cast<uint32_t>(i + 1)));
        files.Put(selected.back(), part);
        const auto header = DecodeSplitHeader(std::span(reinterpret_cast<const uint8_t*>(part.data()), part.size()));
        if (header && header->Number != 0) {
            const std::wstring claimed =
                SplitPartName(folder + TEncoding::Windows1252().GetString(header->Name), header->Number);
            files.Put(claimed, part);
            selected.push_back(claimed);
        }
    }
    if (Answers & 4)
        files.Put(target + L"F", std::string(100, 'x'));
    files.WrittenPaths.clear();
    engine.RunJoin(engine.PlanJoin(selected, folder), target);
    for (const std::wstring& path : files.WrittenPaths) {
        if (path.compare(0, target.size(), target) != 0 || !IsSafeNameLevel(path.substr(target.size())))
            std::abort();
        const TMemoryEntry* entry = files.Find(path);
        if (entry && entry->Bytes.size() > std::max<uint64_t>(carried, 100))
            std::abort();
    }
}

void RoundTrip(std::string_view Data)
{
    TMemorySplitFiles files;
    TRecordingSplitUi user;
    const TSplitJoinUi ui = user.Ui();
    TSplitJoin engine(files, ui, TEncoding::Windows1252());
    const std::string original(Data);
    files.Put(L"C:\\o.bin", original);
    const uint64_t partSize = 2049 + (Data.empty() ? 0 : static_cast<uint8_t>(Data[0])) * 16;
    if (!engine.SplitFileParts(L"C:\\o.bin", partSize, L"D:\\p\\"))
        std::abort();
    if (original.empty())
        return;
    engine.RunJoin(engine.PlanJoin({SplitPartName(L"D:\\p\\o.bin", 1)}, L"D:\\p"), L"E:\\");
    if (!user.Asked.empty() || files.Bytes(L"E:\\o.bin") != original)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t start = input.find(kMagic);
    while (start != std::string_view::npos && parts.size() < 16) {
        const size_t next = input.find(kMagic, start + kSplitHeaderSize);
        parts.emplace_back(input.substr(start, next == std::string_view::npos ? std::string_view::npos : next - start));
        CheckHeader(parts.back());
        start = next;
    }
    if (!parts.empty())
        JoinParts(parts, size ? data[0] : 0);
    if (size <= 20'000)
        RoundTrip(input);
    return 0;
}
