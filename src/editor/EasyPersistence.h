#pragma once
// Storing the properties of the editor family's objects: streamed into a
// tagged block of bytes (WriteStreamed / ReadStreamed), as hexadecimal text
// in a name=value file (SaveToIniFile / LoadFromIniFile), or value by value
// in a registry key (SaveToRegistry / LoadFromRegistry over a registry
// store; win/EasyRegistryStore.h has the system's). Portable.
//
// The block: the signature "EPB1", then the object: per stored property its
// name (a length byte and UTF-8 bytes) and its value, ended by a zero length
// byte. A value starts with its type tag (TEasyValueType).

#include "editor/EasyPersistent.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TStream;

enum TEasyValueType : uint8_t {
    vaNull = 0,  // ends a list
    vaList = 1,  // values up to vaNull
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaDouble = 5,  // 8 bytes
    vaString = 6,  // a length byte, ANSI
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,  // a 32-bit length, ANSI
    vaObject = 16,   // the properties of a nested object
    vaWString = 18,  // a 32-bit length in UTF-16 units, UTF-16 little-endian
    vaInt64 = 19,
};

// Writes the object's stored properties as a block.
void WriteStreamed(TStream& stream, TEasyPersistent& object);
// Reads a block from the stream's position to its end into the object. The
// whole block is read and checked against the object's properties before
// anything is set: a damaged block, or a value of the wrong kind, raises
// EReadError ("Ungültiger Eigenschaftswert" for a bad value) and leaves the
// object unchanged. Names the object does not have are skipped.
void ReadStreamed(TStream& stream, TEasyPersistent& object);

// Two upper-case hexadecimal digits per byte.
std::wstring HexEncode(std::string_view bytes);
// Pairs of hexadecimal digits (either case) back into bytes; false for an
// odd length or a character that is no digit.
[[nodiscard]] bool TryHexDecode(std::wstring_view text, std::string& bytes);
// As TryHexDecode; raises EConvertError on damaged text.
std::string HexDecode(std::wstring_view text);

// Appends "\" to a non-empty text that does not end with one.
std::wstring IncludeBackslash(std::wstring_view text);
// Removes the first and the last character when each is a quote (' or ");
// texts shorter than two characters stay as they are.
std::wstring StripQuotes(std::wstring_view text);

// The object streamed and hex-encoded as the value of the name; the file is
// saved at once (raising on failure).
void SaveToIniFile(TEasyPersistent& object, const std::wstring& fileName, const std::wstring& name);
// Reads the value back into the object; a missing or empty value changes
// nothing, a damaged one raises EReadError and changes nothing.
void LoadFromIniFile(TEasyPersistent& object, const std::wstring& fileName, const std::wstring& name);

// A registry as the persistence sees it: one key open at a time, found by
// its full path below the current user's hive.
class TEasyRegistryStore {
public:
    enum class TValueKind { rvNone, rvString, rvInteger, rvBinary };

    virtual ~TEasyRegistryStore() = default;
    [[nodiscard]] virtual bool OpenKey(const std::wstring& key, bool canCreate) = 0;
    virtual void CloseKey() = 0;
    virtual TValueKind ValueKind(const std::wstring& name) = 0;
    virtual std::wstring ReadString(const std::wstring& name) = 0;
    virtual void WriteString(const std::wstring& name, const std::wstring& value) = 0;
    virtual int ReadInteger(const std::wstring& name) = 0;
    virtual void WriteInteger(const std::wstring& name, int value) = 0;
    virtual std::string ReadBinary(const std::wstring& name) = 0;
    virtual void WriteBinary(const std::wstring& name, std::string_view data) = 0;
};

// Each stored property becomes a value named after it: integers and
// Booleans as integer values (integers beyond 32 bits as strings), floating
// point as 8 binary bytes, texts as strings, line lists as one string of
// CR LF-separated lines, and objects as a subkey key + "\" + name. A key
// that cannot be created raises ERegistryException.
void SaveToRegistry(TEasyRegistryStore& store, TEasyPersistent& object, const std::wstring& key);
// Reads the values that exist back (an integer also from a string value); a
// key that cannot be opened skips the object. A value of a kind the property
// cannot take raises ERegistryException "Unknown Registry Type".
void LoadFromRegistry(TEasyRegistryStore& store, TEasyPersistent& object, const std::wstring& key);

}  // namespace qrv
