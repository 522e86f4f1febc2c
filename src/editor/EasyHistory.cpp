#include "editor/EasyHistory.h"

#include "editor/EasyFindText.h"
#include "editor/EasyIniFile.h"
#include "editor/EasyPersistence.h"
#include "editor/EditorSettings.h"
#include "framework/Encoding.h"
#include "framework/ScopeExit.h"

#include <algorithm>

namespace qrv {

namespace {

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return SearchUpperCase(static_cast<char16_t>(x)) == SearchUpperCase(static_cast<char16_t>(y));
           });
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::wstring EasyHistoryItem(std::wstring_view text)
{
    return std::wstring(text.substr(0, std::min(text.find_first_of(L"\r\n"), text.size())));
}

std::wstring AddToEasyHistory(TEasyHistoryItems& items, std::wstring_view text)
{
    std::wstring item = EasyHistoryItem(text);
    const auto same = std::find_if(items.begin(), items.end(),
                                   [&item](const std::wstring& entry) { return SameIgnoringCase(entry, item); });
    if (same != items.end())
        items.erase(same);
    if (!item.empty())
        items.insert(items.begin(), item);
    return item;
}

std::wstring EasyHistoryValueName(const std::wstring& registryKey, const std::wstring& ownerName,
                                  const std::wstring& controlName)
{
    if (!registryKey.empty())
        return registryKey;
    std::wstring name = ownerName + controlName;
    return name.empty() ? L"Default" : name;
}

std::wstring EasyHistoryRegistryKey()
{
    std::wstring key = kEasyRegistryBaseKey;
    if (key.empty() || key.back() != L'\\')
        key += L'\\';
    return key + L"History";
}

std::wstring JoinEasyHistory(const TEasyHistoryItems& items)
{
    std::wstring text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += L"\r\n";
        text += items[i];
    }
    return text;
}

TEasyHistoryItems SplitEasyHistory(std::wstring_view text)
{
    TEasyHistoryItems items;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        items.emplace_back(text.substr(start, end - start));
        start = end;
        // One break: CR LF, CR or LF.
        if (start < text.size() && text[start] == L'\r')
            ++start;
        if (start < text.size() && text[start] == L'\n')
            ++start;
    }
    return items;
}

std::wstring EncodeEasyIniHistory(const TEasyHistoryItems& items)
{
    std::wstring joined = JoinEasyHistory(items);
    while (!joined.empty() && (joined.back() == L'\r' || joined.back() == L'\n'))
        joined.pop_back();
    const std::string bytes = std::string(kUtf8Mark) + TEncoding::UTF8NoBOM().GetBytes(joined);
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

TEasyHistoryItems DecodeEasyIniHistory(std::wstring_view value, const TEncoding& ansi)
{
    std::string bytes;
    bytes.reserve(value.size() / 2);
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        const int high = HexDigit(value[i]);
        const int low = HexDigit(value[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes += static_cast<char>(high * 16 + low);
    }
    const std::string_view view(bytes);
    if (view.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return SplitEasyHistory(TEncoding::UTF8NoBOM().GetString(view.substr(kUtf8Mark.size())));
    return SplitEasyHistory(ansi.GetString(view));
}

void SaveEasyHistory(const TEasyHistoryItems& items, const TEasyHistoryPlace& place, TEasyRegistryStore* registry)
{
    if (!place.StoreInRegistry) {
        TEasyIniFile file(place.FileName);
        file.WriteString(place.ValueName, EncodeEasyIniHistory(items));
        file.Save();
        return;
    }
    if (!registry)
        return;
    if (!registry->OpenKey(EasyHistoryRegistryKey(), true))
        throw ERegistryException(L"Registrierungsschlüssel kann nicht angelegt werden: " + EasyHistoryRegistryKey());
    const ScopeExit close([registry] { registry->CloseKey(); });
    registry->WriteString(place.ValueName, JoinEasyHistory(items));
}

TEasyHistoryItems LoadEasyHistory(const TEasyHistoryPlace& place, TEasyRegistryStore* registry, const TEncoding& ansi)
{
    if (!place.StoreInRegistry) {
        const TEasyIniFile file(place.FileName);
        return DecodeEasyIniHistory(file.ReadString(place.ValueName, L""), ansi);
    }
    if (!registry || !registry->OpenKey(EasyHistoryRegistryKey(), false))
        return {};
    const ScopeExit close([registry] { registry->CloseKey(); });
    if (registry->ValueKind(place.ValueName) != TEasyRegistryStore::TValueKind::rvString)
        return {};
    return SplitEasyHistory(registry->ReadString(place.ValueName));
}

}  // namespace qrv
