#pragma once
// What the zip component does with each callback of the zip and unzip
// libraries: the action code picks the event, answers are written back into
// the record (cut to its room and zero-terminated), and an exception in an
// event handler stays here (recorded, the run cancelled). Portable; the
// component's window-side class owns one and forwards its events.

#include "external/ZipCallbackApi.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

enum ProgressType { NewFile, ProgressUpdate, EndOfBatch, TotalFiles2Process, TotalSize2Process, NewExtra, ExtraUpdate };
enum TPasswordButton { pwbOk, pwbCancel, pwbCancelAll, pwbAbort };
enum UnZipSkipTypes {
    stOnFreshen,
    stNoOverwrite,
    stFileExists,
    stBadPassword,
    stNoEncryptionDLL,
    stCompressionUnknown,
    stUnknownZipHost,
    stZipFileFormatWrong,
    stGeneralExtractError
};

// How many characters an answer may carry back into the record.
constexpr size_t kNewNameRoom = 512;
constexpr size_t kPasswordRoom = 80;
constexpr size_t kCommentRoom = 511;

struct TZipCallbackEvents {
    std::function<void()> OnTick;
    std::function<void(ProgressType ProgrType, const std::u16string& Filename, uint64_t FileSize)> OnProgress;
    std::function<void(int ErrCode, const std::u16string& Message)> OnMessage;
    std::function<void(std::u16string& OldFileName, bool& IsChanged)> OnSetNewName;
    std::function<void(bool IsZipAction, std::u16string& NewPassword, const std::u16string& ForFile,
                       uint32_t& RepeatCount, TPasswordButton& Action)>
        OnPasswordError;
    std::function<void(const std::u16string& ForFile, uint32_t FoundCRC, uint32_t ExpectedCRC, bool& DoExtract)>
        OnCRC32Error;
    std::function<void(const std::u16string& ForFile, bool IsOlder, bool& DoOverwrite, int DirIndex)>
        OnExtractOverwrite;
    std::function<void(const std::u16string& ForFile, UnZipSkipTypes SkipType, int ExtError)> OnExtractSkipped;
    std::function<void(const std::u16string& ForFile, std::u16string& FileComment, bool& IsChanged)> OnFileComment;
    std::function<void(const std::u16string& ForFile, std::string& Data, bool& IsChanged)> OnFileExtra;
    std::function<void(bool& Abort)> OnAfterCallback;
    std::function<void(const std::u16string& Item, uint64_t TotalSize, int PerCent)> OnItemProgress;
    std::function<void(uint64_t TotalSize, int PerCent)> OnTotalProgress;
    // The built-in password dialog, asked when OnPasswordError is not set.
    std::function<TPasswordButton(bool IsZipAction, const std::u16string& ForFile, std::u16string& Password)>
        PasswordDialog;
    // Zipping into memory: the stream is to take this many bytes.
    std::function<void(uint64_t Size)> ResizeStream;
    // Offered each message text before it is reported (the component's OnZipStr).
    std::function<void(int Id, std::u16string& Str)> OnZipStr;
};

class TZipCallbackDispatch {
public:
    TZipCallbackEvents Events;

    // Answers one callback: -1 cancels the run, 0 goes on. Never throws.
    int32_t Dispatch(ZipCallbackData& Data) noexcept;

    // Before a run: counters and the recorded exception cleared.
    void BeginRun();

    bool Cancel = false;         // set by the owner to stop the run
    bool Closing = false;        // the component goes: callbacks are ignored
    bool ExtrOverWrite = false;  // the overwrite answer before OnExtractOverwrite
    uint32_t PasswordReqCount = 1;
    int ErrCode = 0;  // low byte of the last reported error
    std::u16string LastMessage;
    // The last exception an event handler raised: its text in quotes, " #"
    // and the action code.
    std::u16string EventException;

private:
    void Handle(ZipCallbackData& data, const std::u16string& text);
    void Progress(uint64_t bytes);
    void AskPassword(ZipCallbackData& data, const std::u16string& forFile);
    void Record(const std::u16string& what, int32_t action);

    std::u16string item_;
    uint64_t itemSize_ = 0;
    uint64_t itemDone_ = 0;
    uint64_t totalSize_ = 0;
    uint64_t totalDone_ = 0;
};

// Writes Text into the record's text as UTF-8, cut to MaxChars characters
// and to the record's room, never inside a character, zero-terminated.
void WriteBackText(char (&Msg)[QRV_ZIP_MSG_SIZE], const std::u16string& Text, size_t MaxChars);
// The record's text up to its first zero byte (or its end).
std::u16string ReadCallbackText(const char (&Msg)[QRV_ZIP_MSG_SIZE]);

}  // namespace qrv
