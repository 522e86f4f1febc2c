#include "common/MaskSearch.h"

#include "framework/StringList.h"
#include "framework/SysUtils.h"

namespace qrv {

namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Lower case; ASCII, the bulk of file names, without the call.
wchar_t Fold(wchar_t c)
{
    if (c < 0x80)
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    return LowCaseChar(c);
}

// The name as the matcher sees it: the characters as given.
struct ExactName {
    std::wstring_view text;
    size_t size() const { return text.size(); }
    wchar_t operator[](size_t i) const { return text[i]; }
};

// The name lower-cased and, when it has no ".", with one appended, folded
// as it is read: for texts too long for the buffer of MatchesMaskList.
struct FoldedName {
    std::wstring_view text;
    bool addDot;
    size_t size() const { return text.size() + (addDot ? 1 : 0); }
    wchar_t operator[](size_t i) const { return i < text.size() ? Fold(text[i]) : L'.'; }
};

// Index of the character after the one at i; a surrogate pair counts as one.
template <class Name>
size_t NextChar(const Name& name, size_t i)
{
    if (i + 1 < name.size() && IsHighSurrogate(name[i]) && IsLowSurrogate(name[i + 1]))
        return i + 2;
    return i + 1;
}

// Left to right with one resume point: the last "*" seen and the name
// position it was tried at. On a mismatch that "*" takes one more character
// and matching goes on behind it. Earlier stars never need to be retried
// (a later star can absorb whatever they would), so at most name length times
// mask length steps are taken, without recursion or memory.
template <class Name>
bool Match(const Name& name, std::wstring_view mask)
{
    constexpr size_t kNone = std::wstring_view::npos;
    size_t n = 0;
    size_t m = 0;
    size_t starMask = kNone;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size()) {
            const wchar_t c = mask[m];
            if (c == L'*') {
                starMask = ++m;
                starName = n;
                continue;
            }
            if (c == L'?') {
                n = NextChar(name, n);
                ++m;
                continue;
            }
            if (c == name[n]) {
                ++n;
                ++m;
                continue;
            }
        }
        if (starMask == kNone)
            return false;
        starName = NextChar(name, starName);
        // A literal behind the star can only start where its first character is.
        if (starMask < mask.size() && mask[starMask] != L'?' && mask[starMask] != L'*')
            while (starName < name.size() && name[starName] != mask[starMask])
                starName = NextChar(name, starName);
        n = starName;
        m = starMask;
    }
    while (m < mask.size() && mask[m] == L'*')
        ++m;
    return m == mask.size();
}

constexpr size_t kFoldedNameMax = 300;

template <class Name>
bool MatchesAny(const Name& name, const TStringList& masks)
{
    for (int i = 0; i < masks.Count(); ++i)
        if (Match(name, masks.Get(i)))
            return true;
    return false;
}

}  // namespace

void ParseMaskList(std::wstring_view Masks, TStringList& List)
{
    List.Clear();
    List.SetDuplicates(TDuplicates::dupIgnore);
    List.SetSorted(true);
    size_t from = 0;
    while (from <= Masks.size()) {
        size_t end = Masks.find(L';', from);
        if (end == std::wstring_view::npos)
            end = Masks.size();
        if (end > from)
            List.Add(LowerCase(Masks.substr(from, end - from)));
        from = end + 1;
    }
    if (List.Count() == 0)
        List.Add(L"*");
}

bool MatchesMaskList(std::wstring_view FileName, const TStringList* List)
{
    if (!List || List->Count() == 0)
        return true;
    const bool addDot = FileName.find(L'.') == std::wstring_view::npos;
    // File names are at most 255 characters: folded once into a buffer on
    // the stack they are matched as they are; longer texts fold as they go.
    wchar_t folded[kFoldedNameMax];
    if (FileName.size() + 1 < kFoldedNameMax) {
        size_t length = 0;
        for (const wchar_t c : FileName)
            folded[length++] = Fold(c);
        if (addDot)
            folded[length++] = L'.';
        return MatchesAny(ExactName{std::wstring_view(folded, length)}, *List);
    }
    return MatchesAny(FoldedName{FileName, addDot}, *List);
}

bool MatchMask(std::wstring_view Name, std::wstring_view Mask)
{
    return Match(ExactName{Name}, Mask);
}

}  // namespace qrv
