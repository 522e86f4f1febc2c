#pragma once
// How the zip and unzip libraries call their caller back: one record per
// call, texts cut to the record's size, and a cancel answer that sticks for
// the rest of the run.

#include "external/ZipCallbackApi.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv::external {

class TZipReporter {
public:
    TZipReporter(ZipCallbackFunc Callback, void* Caller, bool IsZipAction);

    // True once the caller answered "cancel" (-1).
    bool Cancelled() const { return cancelled_; }

    // One call; returns the record with the caller's reply filled in.
    ZipCallbackData Call(int32_t Action, int32_t ErrorCode, int64_t FileSize, std::string_view Text, int32_t Arg1 = 0,
                         int32_t Arg2 = 0, int32_t ReplyValue = 0);

    void Message(int32_t ErrorCode, std::string_view Text) { Call(zacMessage, ErrorCode, 0, Text); }
    void Skipped(std::string_view Name, int32_t SkipType) { Call(zacSkipped, SkipType, 0, Name); }

    // Copies Text into a record's text field, cut at a character boundary.
    static void SetText(ZipCallbackData& Data, std::string_view Text);

private:
    ZipCallbackFunc callback_;
    void* caller_;
    bool isZip_;
    bool cancelled_ = false;
};

}  // namespace qrv::external
