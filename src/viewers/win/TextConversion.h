#pragma once
// The conversions between a text file's bytes and the rich edit control's
// text. The control holds Unicode: plain text is streamed to and from it as
// UTF-16, and each class decodes or encodes the file's code page on the way.
// Rich text passes unchanged. One object serves one load or save at a time.

#include "framework/Streams.h"
#include "viewers/TextDecoder.h"
#include "viewers/TextEncoder.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TConversion {
public:
    TConversion() = default;
    virtual ~TConversion() = default;
    TConversion(const TConversion&) = delete;
    TConversion& operator=(const TConversion&) = delete;

    // Starts a transfer from the stream's current position: plain text is
    // converted, rich text passes unchanged. Clears whatever a previous
    // transfer left, so a retry starts afresh.
    void BeginTransfer(bool plainText);

    // Fills the buffer with the control's next bytes from the stream; returns
    // how many it placed, 0 only at the end of the stream.
    virtual size_t ConvertReadStream(TStream& stream, uint8_t* buffer, size_t size);
    // Writes the file bytes of the control's block; returns the bytes taken.
    virtual size_t ConvertWriteStream(TStream& stream, const uint8_t* buffer, size_t size);
    // The end of a save: writes what the encoder held back.
    void EndWrite(TStream& stream);

    // File bytes read from the stream in this transfer (for the size warning).
    uint64_t BytesRead() const { return bytesRead_; }

protected:
    // The file's encoding; the base class reads and writes the ANSI code page.
    virtual std::unique_ptr<TTextDecoder> CreateDecoder() const;
    virtual std::unique_ptr<TTextEncoder> CreateEncoder() const;

private:
    bool plainText_ = true;
    std::unique_ptr<TTextDecoder> decoder_;
    std::unique_ptr<TTextEncoder> encoder_;
    std::string block_;
    std::u16string pending_;  // decoded text the control has not taken yet
    size_t pendingStart_ = 0;
    bool endOfStream_ = false;
    uint64_t bytesRead_ = 0;
    std::string encoded_;
};

// The OEM code page, converted directly (not by way of ANSI, which loses
// characters such as the box drawing of code page 850).
class TOEMConversion : public TConversion {
protected:
    std::unique_ptr<TTextDecoder> CreateDecoder() const override;
    std::unique_ptr<TTextEncoder> CreateEncoder() const override;
};

// LF-only files: saving leaves out every CR and writes the view's code page;
// reading is that code page's plain reading.
class TUNIXConversion : public TConversion {
public:
    enum class TCodePageKind { Ansi, Oem };
    explicit TUNIXConversion(TCodePageKind codePage = TCodePageKind::Ansi) : codePage_(codePage) {}

protected:
    std::unique_ptr<TTextDecoder> CreateDecoder() const override;
    std::unique_ptr<TTextEncoder> CreateEncoder() const override;

private:
    TCodePageKind codePage_;
};

// UTF-16 files, in the byte order of their mark, shown as they are. Writing
// gives UTF-16 little-endian without a mark. The ANSI and DOS8 forms behave
// alike: no code page stands between UTF-16 and the control.
class TUnicodeConversionANSI : public TConversion {
protected:
    std::unique_ptr<TTextDecoder> CreateDecoder() const override;
    std::unique_ptr<TTextEncoder> CreateEncoder() const override;
};

class TUnicodeConversionDOS8 : public TUnicodeConversionANSI {};

// UTF-8 files, shown without their mark. They are shown read-only: saving
// writes UTF-16 like the Unicode form, never the ANSI code page.
class TUtf8Conversion : public TUnicodeConversionANSI {
protected:
    std::unique_ptr<TTextDecoder> CreateDecoder() const override;
};

// A class reference: makes a new conversion object for each transfer.
using TConversionClass = std::function<std::unique_ptr<TConversion>()>;

template <class T>
TConversionClass ConversionClass()
{
    return [] { return std::make_unique<T>(); };
}

// The system's ANSI and OEM code pages, made once.
const TCodePage& AnsiCodePage();
const TCodePage& OemCodePage();

}  // namespace qrv
