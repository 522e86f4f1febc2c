#include "common/RunTargets.h"

#include "framework/SysUtils.h"

#include <utility>

namespace qrv {

TRunTargets::TRunTargets(std::function<bool(const std::wstring&)> exists) : exists_(std::move(exists)) {}

std::wstring TRunTargets::Free(const std::wstring& target) const
{
    if (!written_.contains(UpperCase(target)))
        return target;
    // "<folder>\<stem> (n)<extension>"; a name starting with a dot has no
    // extension.
    const size_t nameAt = target.find_last_of(L"\\/") + 1;
    size_t dot = target.rfind(L'.');
    if (dot == std::wstring::npos || dot <= nameAt)
        dot = target.size();
    const std::wstring stem = target.substr(0, dot);
    const std::wstring extension = target.substr(dot);
    for (int n = 1;; ++n) {
        std::wstring candidate = stem + L" (" + std::to_wstring(n) + L")" + extension;
        if (!written_.contains(UpperCase(candidate)) && !(exists_ && exists_(candidate)))
            return candidate;
    }
}

void TRunTargets::Written(const std::wstring& target)
{
    written_.insert(UpperCase(target));
}

}  // namespace qrv
