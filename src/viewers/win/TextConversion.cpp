#include "viewers/win/TextConversion.h"

#include "framework/win/AnsiEncoding.h"
#include "viewers/win/WinCodePage.h"

#include <algorithm>
#include <cstring>

namespace qrv {

const TCodePage& AnsiCodePage()
{
    static const TWinCodePage page(SystemAnsiEncoding().CodePage());
    return page;
}

const TCodePage& OemCodePage()
{
    static const TWinCodePage page(SystemOemEncoding().CodePage());
    return page;
}

namespace {

constexpr size_t kReadBlockSize = 32768;

const TCodePage& CodePageOf(TUNIXConversion::TCodePageKind codePage)
{
    return codePage == TUNIXConversion::TCodePageKind::Oem ? OemCodePage() : AnsiCodePage();
}

}  // namespace

void TConversion::BeginTransfer(bool plainText)
{
    plainText_ = plainText;
    decoder_.reset();
    encoder_.reset();
    pending_.clear();
    pendingStart_ = 0;
    endOfStream_ = false;
    bytesRead_ = 0;
}

size_t TConversion::ConvertReadStream(TStream& stream, uint8_t* buffer, size_t size)
{
    if (!plainText_) {
        const size_t n = stream.Read(buffer, size);
        bytesRead_ += n;
        return n;
    }
    if (!decoder_)
        decoder_ = CreateDecoder();
    const size_t room = size / sizeof(char16_t);
    if (room == 0)
        return 0;
    // The file is read in larger blocks than the control asks for, so that
    // reading and converting cost a call per 32 KB, not per 2 KB; the text
    // waits in pending_ until the control takes it. Reading goes on while
    // nothing is ready or the text ends in half a pair.
    const auto available = [this] { return pending_.size() - pendingStart_; };
    while (!endOfStream_ && (available() == 0 || IsHighSurrogate(pending_.back()))) {
        if (pendingStart_ > 0) {
            pending_.erase(0, pendingStart_);
            pendingStart_ = 0;
        }
        block_.resize(std::max(room, kReadBlockSize));
        const size_t n = stream.Read(block_.data(), block_.size());
        bytesRead_ += n;
        if (n == 0) {
            endOfStream_ = true;
            decoder_->Finish(pending_);
        } else {
            decoder_->Decode(std::string_view(block_.data(), n), pending_);
        }
    }
    size_t units = std::min(room, available());
    // The control gets a surrogate pair in one piece.
    if (units > 1 && units < available() && IsHighSurrogate(pending_[pendingStart_ + units - 1]))
        --units;
    std::memcpy(buffer, pending_.data() + pendingStart_, units * sizeof(char16_t));
    pendingStart_ += units;
    return units * sizeof(char16_t);
}

size_t TConversion::ConvertWriteStream(TStream& stream, const uint8_t* buffer, size_t size)
{
    if (!plainText_) {
        stream.WriteBuffer(buffer, size);
        return size;
    }
    if (!encoder_)
        encoder_ = CreateEncoder();
    encoded_.clear();
    encoder_->Encode(std::string_view(reinterpret_cast<const char*>(buffer), size), encoded_);
    stream.WriteBytes(encoded_);
    return size;
}

void TConversion::EndWrite(TStream& stream)
{
    if (!plainText_ || !encoder_)
        return;
    encoded_.clear();
    encoder_->Finish(encoded_);
    stream.WriteBytes(encoded_);
}

std::unique_ptr<TTextDecoder> TConversion::CreateDecoder() const
{
    return std::make_unique<TCodePageDecoder>(AnsiCodePage());
}

std::unique_ptr<TTextEncoder> TConversion::CreateEncoder() const
{
    return std::make_unique<TCodePageEncoder>(AnsiCodePage(), false);
}

std::unique_ptr<TTextDecoder> TOEMConversion::CreateDecoder() const
{
    return std::make_unique<TCodePageDecoder>(OemCodePage());
}

std::unique_ptr<TTextEncoder> TOEMConversion::CreateEncoder() const
{
    return std::make_unique<TCodePageEncoder>(OemCodePage(), false);
}

std::unique_ptr<TTextDecoder> TUNIXConversion::CreateDecoder() const
{
    return std::make_unique<TCodePageDecoder>(CodePageOf(codePage_));
}

std::unique_ptr<TTextEncoder> TUNIXConversion::CreateEncoder() const
{
    return std::make_unique<TCodePageEncoder>(CodePageOf(codePage_), true);
}

std::unique_ptr<TTextDecoder> TUnicodeConversionANSI::CreateDecoder() const
{
    return std::make_unique<TUtf16Decoder>();
}

std::unique_ptr<TTextEncoder> TUnicodeConversionANSI::CreateEncoder() const
{
    return std::make_unique<TUtf16Encoder>();
}

std::unique_ptr<TTextDecoder> TUtf8Conversion::CreateDecoder() const
{
    return std::make_unique<TUtf8Decoder>();
}

}  // namespace qrv
