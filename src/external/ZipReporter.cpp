#include "external/ZipReporter.h"

#include <algorithm>
#include <cstring>

namespace qrv::external {

TZipReporter::TZipReporter(ZipCallbackFunc Callback, void* Caller, bool IsZipAction)
    : callback_(Callback), caller_(Caller), isZip_(IsZipAction)
{}

void TZipReporter::SetText(ZipCallbackData& Data, std::string_view Text)
{
    size_t length = std::min(Text.size(), sizeof Data.Msg - 1);
    // Never cut a UTF-8 sequence in two.
    while (length > 0 && length < Text.size() && (static_cast<unsigned char>(Text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(Data.Msg, Text.data(), length);
    Data.Msg[length] = '\0';
}

ZipCallbackData TZipReporter::Call(int32_t Action, int32_t ErrorCode, int64_t FileSize, std::string_view Text,
                                   int32_t Arg1, int32_t Arg2, int32_t ReplyValue)
{
    ZipCallbackData data{};
    data.Caller = caller_;
    data.IsZipAction = isZip_ ? 1 : 0;
    data.ActionCode = Action;
    data.ErrorCode = ErrorCode;
    data.Arg1 = Arg1;
    data.Arg2 = Arg2;
    data.ReplyValue = ReplyValue;
    data.FileSize = FileSize;
    SetText(data, Text);
    if (callback_ && callback_(&data) == -1)
        cancelled_ = true;
    data.Msg[sizeof data.Msg - 1] = '\0';  // whatever the caller wrote back
    return data;
}

}  // namespace qrv::external
