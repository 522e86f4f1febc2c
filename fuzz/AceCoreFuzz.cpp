// ACE archives from anywhere: the ACE library's core lists and tests the
// bytes in memory, calling back as it would the reader; it must end, stay
// in bounds and never throw.
#include "external/AceCore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

char comment[ACE_COMMENT_SIZE];

int32_t Check(tACECallbackStruc* data)
{
    if (data->FileData && !data->FileData->SourceFileName)
        std::abort();
    if (data->ProgressData && data->ProgressData->FileProcessedSize > data->ProgressData->FileSize)
        std::abort();
    return ACE_ANSWER_OK;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tACEGlobalDataStruc global = [] {
        tACEGlobalDataStruc g{};
        g.CommentBuf = comment;
        g.CommentBufSize = sizeof comment;
        g.InfoCallbackProc = Check;
        g.ErrorCallbackProc = Check;
        g.RequestCallbackProc = Check;
        g.StateCallbackProc = Check;
        return g;
    }();
    qrv::external::AceInitDll(&global);
    qrv::external::TMemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    const tACEFilesStruc files{"", "", "", 0};
    qrv::external::AceListSource(source, "fuzz.ace", files);
    if (global.CommentSize >= sizeof comment || comment[global.CommentSize] != 0)
        std::abort();
    qrv::external::AceTestSource(source, "fuzz.ace", files);
    return 0;
}
