#pragma once
// The rules of a history combo box, without its window: the list is the
// texts entered, newest first; an entry equal to another but for letter case
// replaces it; where the list is kept (a registry value below the editor
// family's key, or a hex-encoded value of an INI file) and how it is
// written and read back. Portable.

#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TEncoding;
class TEasyRegistryStore;

using TEasyHistoryItems = std::vector<std::wstring>;

// A text as a history item: cut at its first line break, which could not be
// told from the separator when the list is read back.
std::wstring EasyHistoryItem(std::wstring_view text);

// Puts the text first: an item equal to it ignoring letter case goes, an
// empty text is not added. Returns the text as added (cut at its break).
std::wstring AddToEasyHistory(TEasyHistoryItems& items, std::wstring_view text);

// The name the list is stored under: the key when set, else the owner's name
// followed by the control's, else "Default".
std::wstring EasyHistoryValueName(const std::wstring& registryKey, const std::wstring& ownerName,
                                  const std::wstring& controlName);

// The registry key of every history: the family's base key + "History".
std::wstring EasyHistoryRegistryKey();

// The items as one text, CR LF between them, and back (a missing or empty
// value gives no items).
std::wstring JoinEasyHistory(const TEasyHistoryItems& items);
TEasyHistoryItems SplitEasyHistory(std::wstring_view text);

// The INI value: the joined items in UTF-8 with its byte-order mark, two
// upper-case hexadecimal digits a byte. Reading takes a value without the
// mark as bytes of the ANSI code page; a pair that is no hexadecimal number
// ends the value.
std::wstring EncodeEasyIniHistory(const TEasyHistoryItems& items);
TEasyHistoryItems DecodeEasyIniHistory(std::wstring_view value, const TEncoding& ansi);

// Where one combo box keeps its list.
struct TEasyHistoryPlace {
    bool StoreInRegistry = true;
    std::wstring FileName;   // the INI file without the registry
    std::wstring ValueName;  // EasyHistoryValueName
};

// Saves and loads through the registry store (none: the registry keeps
// nothing) or the INI file. A failed save raises the store's error.
void SaveEasyHistory(const TEasyHistoryItems& items, const TEasyHistoryPlace& place, TEasyRegistryStore* registry);
TEasyHistoryItems LoadEasyHistory(const TEasyHistoryPlace& place, TEasyRegistryStore* registry, const TEncoding& ansi);

}  // namespace qrv
