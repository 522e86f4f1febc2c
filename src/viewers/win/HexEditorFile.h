#pragma once
// The hex editor's files on Windows: the document or its working copy as a
// THexFile (64-bit, opened with all sharing), the system's ANSI and OEM code
// pages for the character pane, and the temporary names the editor claims.

#include "framework/win/Handles.h"
#include "viewers/HexDocumentCharset.h"
#include "viewers/HexDocumentFile.h"

#include <array>
#include <string>

namespace qrv {

class TWinHexFile : public THexFile {
public:
    // Opens an existing file for reading, or reading and writing; raises
    // EFOpenError (with the system's last error kept) when it cannot.
    TWinHexFile(std::wstring name, bool writable);

    int64_t Size() override;
    void Read(int64_t offset, void* buffer, size_t count) override;
    void Write(int64_t offset, const void* buffer, size_t count) override;
    void Resize(int64_t size) override;
    // A mapped view of the file, on fixed local drives only: elsewhere a
    // failed read of a mapped page (a network or removable drive gone) would
    // stop the program instead of raising an error.
    std::unique_ptr<THexFileView> View(int64_t offset, size_t count) override;

    const std::wstring& Name() const { return name_; }
    // Closes the handle for a while (so that the file can be copied) and
    // opens it again.
    void Suspend() { handle_.Reset(); }
    void Resume();

private:
    std::wstring name_;
    bool writable_;
    bool viewable_ = false;
    TFileHandle handle_;
};

// The system's ANSI and OEM code pages (SystemAnsiEncoding, SystemOemEncoding): exact
// conversions only, no best fit.
class TWinHexCodePages : public THexCodePages {
public:
    TWinHexCodePages();
    char16_t ToWide(THexCodePage page, uint8_t byte) const override;
    std::optional<uint8_t> FromWide(THexCodePage page, char16_t c) const override;
    char16_t Lower(char16_t c) const override;

private:
    std::array<char16_t, 256> ansi_{};
    std::array<char16_t, 256> oem_{};
};

// Claims a new file in folder (with a trailing backslash) named
// <prefix><8 hex digits of the tick count><extension>, created with
// CREATE_NEW so that no other program or instance gets the same name; the
// file is left empty and closed. Raises EFCreateError when none can be made.
std::wstring ClaimTempFile(const std::wstring& folder, const std::wstring& prefix, const std::wstring& extension);

}  // namespace qrv
