// Clipboard and drop data come from any program: the readers of the file
// lists (CF_HDROP, "Shell IDList Array"), the name maps, the file
// descriptors and the "Preferred DropEffect" word must stay in bounds on any
// bytes, and what they accept must read back the same after it is written
// again. The first byte picks the reader.
#include "common/DropFilesBlock.h"
#include "common/FileDescriptorBlock.h"
#include "common/ShellIdListBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::wstring LatinOne(std::string_view raw)
{
    std::wstring name;
    for (const char c : raw) {
        name.push_back(static_cast<unsigned char>(c));  // Latin-1 stands in for the code page
    }
    return name;
}

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void DropFiles(const uint8_t* data, size_t size)
{
    (void)qrv::PasteEffect(qrv::ParsePreferredDropEffect(data, size));
    const auto names = qrv::ParseDropFiles(data, size, LatinOne);
    if (names) {
        const auto block = qrv::BuildDropFiles(*names);
        Check(qrv::ParseDropFiles(block.data(), block.size(), nullptr) == *names);
    }
}

void ShellIdList(const uint8_t* data, size_t size)
{
    const auto lists = qrv::ParseShellIdList(data, size);
    if (lists) {
        const auto block = qrv::BuildShellIdList(*lists);
        Check(qrv::ParseShellIdList(block.data(), block.size()) == *lists);
    }
}

void NameMap(const uint8_t* data, size_t size, bool wide)
{
    const auto names = qrv::ParseFileNameMap(data, size, wide, LatinOne);
    if (names && wide) {
        const auto block = qrv::BuildFileNameMapW(*names);
        Check(qrv::ParseFileNameMap(block.data(), block.size(), true, nullptr) == *names);
    }
}

void Descriptors(const uint8_t* data, size_t size, bool wide)
{
    const auto entries = qrv::ParseFileGroupDescriptor(data, size, wide, LatinOne);
    if (entries && wide) {
        const auto block = qrv::BuildFileGroupDescriptor(*entries, true, nullptr);
        const auto again = qrv::ParseFileGroupDescriptor(block.data(), block.size(), true, nullptr);
        Check(again && again->size() == entries->size());
        for (size_t i = 0; i < entries->size(); ++i) {
            const auto& a = (*entries)[i];
            const auto& b = (*again)[i];
            Check(a.Name == b.Name && a.Flags == b.Flags && a.Attributes == b.Attributes && a.FileSize == b.FileSize &&
                  a.CreationTime == b.CreationTime && a.LastAccessTime == b.LastAccessTime &&
                  a.LastWriteTime == b.LastWriteTime);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const uint8_t selector = data[0];
    ++data;
    --size;
    switch (selector % 6) {
    case 0:
        DropFiles(data, size);
        break;
    case 1:
        ShellIdList(data, size);
        break;
    case 2:
        NameMap(data, size, true);
        break;
    case 3:
        NameMap(data, size, false);
        break;
    case 4:
        Descriptors(data, size, true);
        break;
    default:
        Descriptors(data, size, false);
        break;
    }
    return 0;
}
