#pragma once
// Text encodings of files: UTF-8, UTF-16 (both byte orders) and the ANSI code
// page. Portable; the Windows layer installs the system's ANSI code page as
// the default encoding at start (the host build uses Windows-1252).

#include "framework/SysUtils.h"

#include <memory>
#include <string>
#include <string_view>

namespace qrv {

// A text holds a character its target encoding cannot represent; Line and
// Column (from 1, 0 when unknown) say where.
class EEncodingError : public Exception {
public:
    explicit EEncodingError(std::wstring message, int line = 0, int column = 0)
        : Exception(std::move(message)), Line(line), Column(column)
    {}
    int Line;
    int Column;
};

class TEncoding {
public:
    virtual ~TEncoding() = default;
    virtual std::wstring GetString(std::string_view bytes) const = 0;
    virtual std::string GetBytes(std::wstring_view text) const = 0;
    // The byte-order mark written before the text ("" when none is written).
    virtual std::string Preamble() const = 0;
    virtual std::wstring Name() const = 0;
    // The checked encode: like GetBytes, but a character the encoding cannot
    // represent is refused instead of replaced. Returns false and the index of
    // the first such character in badIndex.
    [[nodiscard]] virtual bool TryGetBytes(std::wstring_view text, std::string& bytes, size_t& badIndex) const;
    // True for a byte that starts a two-byte character (double-byte code pages).
    virtual bool IsLeadByte(unsigned char /*byte*/) const { return false; }

    static const TEncoding& UTF8();  // with BOM
    static const TEncoding& UTF8NoBOM();
    static const TEncoding& Unicode();           // UTF-16 little endian, with BOM
    static const TEncoding& BigEndianUnicode();  // UTF-16 big endian, with BOM
    static const TEncoding& Windows1252();
    // The ANSI code page of the system.
    static const TEncoding& Default();
    static void SetDefault(std::unique_ptr<TEncoding> encoding);

    // The encoding named by a byte-order mark at the start of the buffer, or
    // nullptr when there is none; bomLength receives the mark's length.
    static const TEncoding* FromBOM(std::string_view bytes, size_t& bomLength);
    // Decodes a whole file: by its byte-order mark; without one, as UTF-8 when
    // the bytes are valid UTF-8 and contain non-ASCII, otherwise as fallback.
    // detected receives the encoding used.
    static std::wstring DecodeText(std::string_view bytes, const TEncoding& fallback,
                                   const TEncoding** detected = nullptr);
};

}  // namespace qrv
