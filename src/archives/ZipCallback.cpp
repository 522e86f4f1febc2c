#include "archives/ZipCallback.h"

#include "archives/ZipDirectory.h"
#include "archives/ZipMessages.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string_view>

namespace qrv {

namespace {

// One character (one or two code units) of Text at i as UTF-8.
std::string EncodeOne(const std::u16string& text, size_t& i)
{
    uint32_t cp = text[i++];
    if (cp >= 0xD800 && cp < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i++] - 0xDC00);
    else if (cp >= 0xD800 && cp < 0xE000)
        cp = 0xFFFD;
    std::string out;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
    return out;
}

int Percent(uint64_t done, uint64_t total)
{
    if (total == 0)
        return 100;
    return done >= total ? 100 : int(done * 100 / total);
}

std::u16string Ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

}  // namespace

void WriteBackText(char (&Msg)[QRV_ZIP_MSG_SIZE], const std::u16string& Text, size_t MaxChars)
{
    std::string bytes;
    size_t chars = 0;
    for (size_t i = 0; i < Text.size() && chars < MaxChars;) {
        std::string one = EncodeOne(Text, i);
        if (bytes.size() + one.size() > QRV_ZIP_MSG_SIZE - 1)
            break;
        bytes += one;
        ++chars;
    }
    std::memset(Msg, 0, QRV_ZIP_MSG_SIZE);
    std::memcpy(Msg, bytes.data(), bytes.size());
}

std::u16string ReadCallbackText(const char (&Msg)[QRV_ZIP_MSG_SIZE])
{
    const void* zero = std::memchr(Msg, 0, QRV_ZIP_MSG_SIZE);
    size_t length = zero ? size_t(static_cast<const char*>(zero) - Msg) : QRV_ZIP_MSG_SIZE;
    return DecodeUtf8(std::string_view(Msg, length));
}

void TZipCallbackDispatch::BeginRun()
{
    ErrCode = 0;
    LastMessage.clear();
    EventException.clear();
    item_.clear();
    itemSize_ = itemDone_ = totalSize_ = totalDone_ = 0;
}

int32_t TZipCallbackDispatch::Dispatch(ZipCallbackData& Data) noexcept
{
    if (Closing)
        return 0;
    try {
        std::u16string text = ReadCallbackText(Data.Msg);
        try {
            Handle(Data, text);
        } catch (const std::exception& e) {
            Record(DecodeUtf8(e.what()), Data.ActionCode);
        } catch (...) {
            Record(u"unbekannte Ausnahme", Data.ActionCode);
        }
        if (Events.OnAfterCallback) {
            bool abort = Cancel;
            try {
                Events.OnAfterCallback(abort);
                Cancel = Cancel || abort;
            } catch (const std::exception& e) {
                Record(DecodeUtf8(e.what()), Data.ActionCode);
            } catch (...) {
                Record(u"unbekannte Ausnahme", Data.ActionCode);
            }
        }
    } catch (...) {
        // Out of memory while recording: stop the run rather than go on blind.
        Cancel = true;
    }
    return Cancel ? -1 : 0;
}

void TZipCallbackDispatch::Record(const std::u16string& what, int32_t action)
{
    EventException = u"\"" + what + u"\" #" + Ascii(std::to_string(action));
    Cancel = true;
}

void TZipCallbackDispatch::Progress(uint64_t bytes)
{
    itemDone_ += bytes;
    totalDone_ += bytes;
    if (Events.OnItemProgress)
        Events.OnItemProgress(item_, itemSize_, Percent(itemDone_, itemSize_));
    if (Events.OnTotalProgress)
        Events.OnTotalProgress(totalSize_, Percent(totalDone_, totalSize_));
}

void TZipCallbackDispatch::Handle(ZipCallbackData& data, const std::u16string& text)
{
    const uint64_t size = data.FileSize < 0 ? 0 : uint64_t(data.FileSize);
    auto progress = [&](ProgressType type, const std::u16string& name, uint64_t value) {
        if (Events.OnProgress)
            Events.OnProgress(type, name, value);
    };
    switch (data.ActionCode) {
    case zacTick:
        if (Events.OnTick)
            Events.OnTick();
        break;
    case zacItem:
        item_ = text;
        itemSize_ = size;
        itemDone_ = 0;
        progress(NewFile, text, size);
        if (Events.OnItemProgress)
            Events.OnItemProgress(item_, itemSize_, 0);
        break;
    case zacProgress:
        progress(ProgressUpdate, item_, size);
        Progress(size);
        break;
    case zacEndOfBatch:
        progress(EndOfBatch, u"", 0);
        if (Events.OnItemProgress)
            Events.OnItemProgress(item_, itemSize_, -1);
        if (Events.OnTotalProgress)
            Events.OnTotalProgress(totalSize_, -1);
        item_.clear();
        itemSize_ = itemDone_ = totalSize_ = totalDone_ = 0;
        break;
    case zacMessage: {
        ErrCode = data.ErrorCode & 0xFF;
        std::u16string message = text;
        if (ErrCode == 9 && !EventException.empty())
            message += ZipMessageOrFallback(zmEventException, Events.OnZipStr) + EventException;
        LastMessage = message;
        if (Events.OnMessage)
            Events.OnMessage(ErrCode, message);
        break;
    }
    case zacCount:
        progress(TotalFiles2Process, u"", size);
        break;
    case zacSize:
        totalSize_ = size;
        totalDone_ = 0;
        progress(TotalSize2Process, u"", size);
        break;
    case zacNewName: {
        std::u16string name = text;
        bool changed = false;
        if (Events.OnSetNewName)
            Events.OnSetNewName(name, changed);
        if (changed)
            WriteBackText(data.Msg, name, kNewNameRoom);
        data.ReplyValue = changed ? 1 : 0;
        break;
    }
    case zacPassword:
        AskPassword(data, text);
        break;
    case zacCRCError: {
        bool doExtract = true;
        if (Events.OnCRC32Error)
            Events.OnCRC32Error(text, uint32_t(data.Arg1), uint32_t(data.Arg2), doExtract);
        data.ReplyValue = doExtract ? 1 : 0;
        break;
    }
    case zacOverwrite: {
        bool doOverwrite = ExtrOverWrite;
        if (Events.OnExtractOverwrite)
            Events.OnExtractOverwrite(text, data.Arg1 != 0, doOverwrite, data.Arg2);
        data.ReplyValue = doOverwrite ? 1 : 0;
        break;
    }
    case zacSkipped:
        ErrCode = data.ErrorCode;
        if (Events.OnExtractSkipped && data.ErrorCode >= stOnFreshen && data.ErrorCode <= stGeneralExtractError)
            Events.OnExtractSkipped(text, UnZipSkipTypes(data.ErrorCode), data.ErrorCode);
        break;
    case zacComment: {
        std::u16string comment;
        bool changed = false;
        if (Events.OnFileComment)
            Events.OnFileComment(text, comment, changed);
        if (changed)
            WriteBackText(data.Msg, comment, kCommentRoom);
        data.ReplyValue = changed ? 1 : 0;
        break;
    }
    case zacStream:
        if (Events.ResizeStream)
            Events.ResizeStream(size);
        break;
    case zacData: {
        std::string extra;
        bool changed = false;
        if (Events.OnFileExtra)
            Events.OnFileExtra(text, extra, changed);
        if (changed) {
            std::memset(data.Msg, 0, sizeof data.Msg);
            std::memcpy(data.Msg, extra.data(), std::min(extra.size(), sizeof data.Msg - 1));
        }
        data.ReplyValue = changed ? 1 : 0;
        break;
    }
    case zacXItem:
        item_ = ZipMessageOrFallback(zmExtraPhaseBase + data.ErrorCode, Events.OnZipStr);
        itemSize_ = size;
        itemDone_ = 0;
        progress(NewExtra, item_, size);
        break;
    case zacXProgress:
        progress(ExtraUpdate, item_, size);
        Progress(size);
        break;
    default:
        break;
    }
}

void TZipCallbackDispatch::AskPassword(ZipCallbackData& data, const std::u16string& forFile)
{
    std::u16string password;
    TPasswordButton button = pwbCancel;
    uint32_t repeat = PasswordReqCount;
    if (Events.OnPasswordError) {
        button = pwbOk;
        Events.OnPasswordError(data.IsZipAction != 0, password, forFile, repeat, button);
        PasswordReqCount = repeat;
    } else if (Events.PasswordDialog && PasswordReqCount > 0) {
        button = Events.PasswordDialog(data.IsZipAction != 0, forFile, password);
    }
    if (button == pwbOk) {
        WriteBackText(data.Msg, password, kPasswordRoom);
        data.ReplyValue = 1;
        return;
    }
    std::memset(data.Msg, 0, sizeof data.Msg);
    data.ReplyValue = 0;
    if (button == pwbCancelAll || button == pwbAbort)
        Cancel = true;
}

}  // namespace qrv
