#pragma once
// Code-page encodings over MultiByteToWideChar / WideCharToMultiByte: the
// system side of TEncoding.

#include "framework/Encoding.h"

#include <cstdint>

namespace qrv {

class TCodePageEncoding : public TEncoding {
public:
    explicit TCodePageEncoding(uint32_t codePage) : codePage_(codePage) {}
    std::wstring GetString(std::string_view bytes) const override;
    std::string GetBytes(std::wstring_view text) const override;
    bool TryGetBytes(std::wstring_view text, std::string& bytes, size_t& badIndex) const override;
    bool IsLeadByte(unsigned char byte) const override;
    std::string Preamble() const override { return ""; }
    std::wstring Name() const override;
    uint32_t CodePage() const { return codePage_; }

private:
    uint32_t codePage_;
};

// The system's ANSI and OEM code pages: every conversion between the bytes
// of such a code page and UTF-16 goes through these (scripts/lint).
const TCodePageEncoding& SystemAnsiEncoding();
const TCodePageEncoding& SystemOemEncoding();

// Makes the system's ANSI code page TEncoding::Default().
void InstallAnsiCodePageEncoding();

}  // namespace qrv
