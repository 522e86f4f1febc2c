#include "mainwindow/WindowViewState.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace qrv {

namespace {

std::wstring Folded(const std::wstring& Name)
{
    std::wstring folded = Name;
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(std::towupper(c));
    return folded;
}

}  // namespace

void SwapViewStates(TWindowViewState& A, TWindowViewState& B)
{
    const TSelAttr compressedA = A.Filter.SelCompressed;
    const TSelAttr encryptedA = A.Filter.SelEncrypted;
    const TSelAttr compressedB = B.Filter.SelCompressed;
    const TSelAttr encryptedB = B.Filter.SelEncrypted;
    std::swap(A, B);
    A.Filter.SelCompressed = compressedA;
    A.Filter.SelEncrypted = encryptedA;
    B.Filter.SelCompressed = compressedB;
    B.Filter.SelEncrypted = encryptedB;
}

void EqualizeViewState(const TWindowViewState& From, TWindowViewState& To)
{
    const int viewStyle = To.ViewStyle;
    const TSelAttr compressed = To.Filter.SelCompressed;
    const TSelAttr encrypted = To.Filter.SelEncrypted;
    To = From;
    To.ViewStyle = viewStyle;
    To.Filter.SelCompressed = compressed;
    To.Filter.SelEncrypted = encrypted;
}

std::vector<size_t> ItemsToSelect(const std::vector<std::wstring>& Names, const std::vector<std::wstring>& Selected)
{
    std::vector<std::wstring> wanted;
    wanted.reserve(Selected.size());
    for (const std::wstring& name : Selected)
        wanted.push_back(Folded(name));
    std::sort(wanted.begin(), wanted.end());
    std::vector<size_t> indexes;
    for (size_t i = 0; i < Names.size(); ++i)
        if (std::binary_search(wanted.begin(), wanted.end(), Folded(Names[i])))
            indexes.push_back(i);
    return indexes;
}

int ItemToFocus(const std::vector<std::wstring>& Names, const std::wstring& Focused, int FallbackIndex)
{
    if (!Focused.empty()) {
        const std::wstring folded = Folded(Focused);
        for (size_t i = 0; i < Names.size(); ++i)
            if (Folded(Names[i]) == folded)
                return static_cast<int>(i);
    }
    return FallbackIndex >= 0 && static_cast<size_t>(FallbackIndex) < Names.size() ? FallbackIndex : -1;
}

}  // namespace qrv
