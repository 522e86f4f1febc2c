#pragma once
// TKyVersionInfo: the texts of a file's version resource.

#include "framework/Component.h"

#include <string>

namespace qrv {

class TKyVersionInfo : public TComponent {
public:
    // Reads the program's own version resource.
    explicit TKyVersionInfo(TComponent* owner);

    // Fills every text from the file's version resource; a file without one
    // gives "<info not available>" everywhere. A key the resource lacks
    // gives an empty text.
    void GetInfo(const std::wstring& fileName);

    const std::wstring& CompanyName() const { return companyName_; }
    const std::wstring& FileDescription() const { return fileDescription_; }
    const std::wstring& FileVersion() const { return fileVersion_; }
    const std::wstring& Internalname() const { return internalName_; }
    const std::wstring& LegalCopyright() const { return legalCopyright_; }
    const std::wstring& LegalTradeMarks() const { return legalTradeMarks_; }
    const std::wstring& OriginalFilename() const { return originalFilename_; }
    const std::wstring& ProductName() const { return productName_; }
    const std::wstring& ProductVersion() const { return productVersion_; }
    const std::wstring& Comments() const { return comments_; }
    // The parts of FileVersion.
    const std::wstring& MajorVersion() const { return majorVersion_; }
    const std::wstring& MinorVersion() const { return minorVersion_; }
    const std::wstring& Release() const { return release_; }
    const std::wstring& Build() const { return build_; }

private:
    std::wstring companyName_, fileDescription_, fileVersion_, internalName_, legalCopyright_, legalTradeMarks_,
        originalFilename_, productName_, productVersion_, comments_, majorVersion_, minorVersion_, release_, build_;
};

}  // namespace qrv
