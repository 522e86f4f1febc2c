#include "widgets/win/KyVersionInfo.h"

#include "framework/win/WinApi.h"
#include "widgets/VersionText.h"

#include <cstdio>
#include <vector>

namespace qrv {

TKyVersionInfo::TKyVersionInfo(TComponent* owner) : TComponent(owner)
{
    GetInfo(ExeName());
}

void TKyVersionInfo::GetInfo(const std::wstring& fileName)
{
    std::wstring* texts[] = {&companyName_,     &fileDescription_,  &fileVersion_, &internalName_,   &legalCopyright_,
                             &legalTradeMarks_, &originalFilename_, &productName_, &productVersion_, &comments_,
                             &majorVersion_,    &minorVersion_,     &release_,     &build_};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &handle);
    std::vector<uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoW(fileName.c_str(), 0, size, block.data())) {
        for (std::wstring* text : texts)
            *text = kVersionInfoNotAvailable;
        return;
    }

    // The first translation; without one, US English in Unicode.
    WORD language = 0x0409, codePage = 0x04B0;
    void* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &length) && length >= 4) {
        const auto* pair = static_cast<const WORD*>(translation);
        language = pair[0];
        codePage = pair[1];
    }
    wchar_t prefix[40];
    std::swprintf(prefix, 40, L"\\StringFileInfo\\%04x%04x\\", language, codePage);

    const wchar_t* keys[] = {L"CompanyName",    L"FileDescription", L"FileVersion",      L"InternalName",
                             L"LegalCopyright", L"LegalTradeMarks", L"OriginalFilename", L"ProductName",
                             L"ProductVersion", L"Comments"};
    for (size_t i = 0; i < std::size(keys); ++i) {
        void* value = nullptr;
        UINT chars = 0;
        const std::wstring query = prefix + std::wstring(keys[i]);
        if (VerQueryValueW(block.data(), query.c_str(), &value, &chars) && value && chars > 0)
            texts[i]->assign(static_cast<const wchar_t*>(value));
        else
            texts[i]->clear();
    }
    TVersionParts parts = SplitFileVersion(fileVersion_);
    void* fixedInfo = nullptr;
    UINT fixedLength = 0;
    if (!fileVersion_.empty() && VerQueryValueW(block.data(), L"\\", &fixedInfo, &fixedLength) &&
        fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixedInfo);
        const unsigned fixed[4] = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                   HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
        FillMissingVersionParts(parts, fixed);
    }
    majorVersion_ = parts.Major;
    minorVersion_ = parts.Minor;
    release_ = parts.Release;
    build_ = parts.Build;
}

}  // namespace qrv
