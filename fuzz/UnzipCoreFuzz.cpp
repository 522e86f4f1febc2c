// Zip archives from anywhere: the unzip library's core reads the central
// directory and tests every entry (inflate, CRC, ZipCrypto) of the bytes in
// memory; it must end, stay in bounds and report instead of throwing.
#include "external/ByteSource.h"
#include "external/UnzipCore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

int32_t Answer(ZipCallbackData* data)
{
    // The text must always end inside the record.
    if (std::memchr(data->Msg, 0, sizeof data->Msg) == nullptr)
        std::abort();
    if (data->ActionCode == zacPassword) {
        std::strcpy(data->Msg, "secret");
        data->ReplyValue = 1;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qrv::external::TMemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    UnzCommand cmd{};
    cmd.Callback = Answer;
    cmd.Password = "secret";
    cmd.fTest = QRV_ZIP_TRUE;
    cmd.ZipFileName = "fuzz.zip";
    cmd.PasswordReqCount = 1;
    cmd.fSeven = QRV_ZIP_RECORD_END;
    const int32_t done = qrv::external::UnzipRun(cmd, source, qrv::external::TUnzipHooks{});
    if (done < 0)
        std::abort();  // a usable record never gives a fatal result
    return 0;
}
