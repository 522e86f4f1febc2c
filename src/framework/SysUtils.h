#pragma once
// Exceptions and the small string helpers every layer uses. Portable.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qrv {

// Base of all exceptions the program raises itself. The message is UTF-16 so
// that paths and German texts survive; what() gives a UTF-8 copy for logs.
class Exception : public std::exception {
public:
    explicit Exception(std::wstring message, int helpContext = 0);
    const std::wstring& Message() const { return message_; }
    void SetMessage(std::wstring message);
    int HelpContext() const { return helpContext_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring message_;
    std::string utf8_;
    int helpContext_;
};

// The standard subclasses. Each is an Exception with its own type so callers
// can catch exactly the failure they handle.
#define QRV_DECLARE_EXCEPTION(Name, Base)                                                                              \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    }

// Silent exception: aborts an operation without a message at the top level.
QRV_DECLARE_EXCEPTION(EAbort, Exception);
QRV_DECLARE_EXCEPTION(EConvertError, Exception);
QRV_DECLARE_EXCEPTION(ERangeError, Exception);
QRV_DECLARE_EXCEPTION(EListError, Exception);
QRV_DECLARE_EXCEPTION(EStringListError, EListError);
QRV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
QRV_DECLARE_EXCEPTION(EOutOfResources, Exception);
QRV_DECLARE_EXCEPTION(EStreamError, Exception);
QRV_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
QRV_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
QRV_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
QRV_DECLARE_EXCEPTION(EReadError, EStreamError);
QRV_DECLARE_EXCEPTION(EWriteError, EStreamError);
QRV_DECLARE_EXCEPTION(EIniFileException, Exception);
QRV_DECLARE_EXCEPTION(ERegistryException, Exception);
QRV_DECLARE_EXCEPTION(EOleError, Exception);
// Reading or writing a file failed at the level of the runtime's file access.
QRV_DECLARE_EXCEPTION(EInOutError, Exception);

// An operating-system call failed; carries the system error code.
class EOSError : public Exception {
public:
    EOSError(std::wstring message, uint32_t errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
    uint32_t ErrorCode;
};

// An OLE call failed with an HRESULT.
class EOleSysError : public EOleError {
public:
    EOleSysError(std::wstring message, int32_t errorCode) : EOleError(std::move(message)), ErrorCode(errorCode) {}
    int32_t ErrorCode;
};

// UTF-8 <-> UTF-16. Invalid input is replaced by U+FFFD, never dropped.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

std::wstring Trim(std::wstring_view s);
// The same without a copy: the part of s between its leading and trailing blanks.
std::wstring_view TrimView(std::wstring_view s);
std::wstring TrimLeft(std::wstring_view s);
std::wstring TrimRight(std::wstring_view s);

// Case mapping and comparison that do not depend on the C library's locale:
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters are folded.
wchar_t UpCaseChar(wchar_t c);
wchar_t LowCaseChar(wchar_t c);
std::wstring UpperCase(std::wstring_view s);
std::wstring LowerCase(std::wstring_view s);
int CompareStr(std::wstring_view a, std::wstring_view b);   // ordinal
int CompareText(std::wstring_view a, std::wstring_view b);  // ordinal, ignoring case
bool SameText(std::wstring_view a, std::wstring_view b);

std::wstring IntToStr(int64_t value);
// Decimal, or hexadecimal with a leading "$" or "0x"; throws EConvertError.
int64_t StrToInt64(std::wstring_view text);
int StrToInt(std::wstring_view text);
int StrToIntDef(std::wstring_view text, int defaultValue);
[[nodiscard]] bool TryStrToInt64(std::wstring_view text, int64_t& value);

}  // namespace qrv
