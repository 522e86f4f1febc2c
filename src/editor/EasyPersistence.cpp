#include "editor/EasyPersistence.h"

#include "editor/EasyIniFile.h"
#include "framework/Encoding.h"
#include "framework/ScopeExit.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace qrv {

namespace {

constexpr char kSignature[4] = {'E', 'P', 'B', '1'};
constexpr int kMaxDepth = 32;

[[noreturn]] void BadValue()
{
    throw EReadError(L"Ungültiger Eigenschaftswert");
}

[[noreturn]] void Damaged()
{
    throw EReadError(L"Beschädigte Eigenschaftsdaten");
}

// --- writing -----------------------------------------------------------------

class BlockWriter {
public:
    void Byte(uint8_t b) { out_.push_back(static_cast<char>(b)); }
    void Bytes(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
    template <typename T>
    void Little(T value)
    {
        for (size_t i = 0; i < sizeof(T); ++i)
            Byte(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
    }

    void Name(const std::wstring& name)
    {
        std::string utf8 = WideToUtf8(name);
        if (utf8.empty() || utf8.size() > 255)
            throw EWriteError(L"Ungültiger Eigenschaftsname: " + name);
        Byte(static_cast<uint8_t>(utf8.size()));
        Bytes(utf8.data(), utf8.size());
    }

    void Integer(int64_t value)
    {
        if (value >= INT8_MIN && value <= INT8_MAX) {
            Byte(vaInt8);
            Little(static_cast<int8_t>(value));
        } else if (value >= INT16_MIN && value <= INT16_MAX) {
            Byte(vaInt16);
            Little(static_cast<int16_t>(value));
        } else if (value >= INT32_MIN && value <= INT32_MAX) {
            Byte(vaInt32);
            Little(static_cast<int32_t>(value));
        } else {
            Byte(vaInt64);
            Little(value);
        }
    }

    void WideString(const std::wstring& text)
    {
        std::string units = TEncoding::Unicode().GetBytes(text);
        Byte(vaWString);
        Little(static_cast<uint32_t>(units.size() / 2));
        Bytes(units.data(), units.size());
    }

    void Value(const TEasyValue& value)
    {
        if (const auto* i = std::get_if<int64_t>(&value)) {
            Integer(*i);
        } else if (const auto* d = std::get_if<double>(&value)) {
            Byte(vaDouble);
            uint64_t bits = 0;
            std::memcpy(&bits, d, sizeof bits);
            Little(bits);
        } else if (const auto* s = std::get_if<std::wstring>(&value)) {
            WideString(*s);
        } else if (const auto* b = std::get_if<bool>(&value)) {
            Byte(*b ? vaTrue : vaFalse);
        } else {
            Byte(vaList);
            for (const std::wstring& line : std::get<TEasyStringsValue>(value))
                WideString(line);
            Byte(vaNull);
        }
    }

    void Object(TEasyPersistent& object)
    {
        for (TEasyProperty& property : object.Properties()) {
            if (property.Stored && !property.Stored())
                continue;
            Name(property.Name);
            if (property.Kind == TEasyPropertyKind::pkObject) {
                Byte(vaObject);
                Object(*property.Object);
            } else {
                Value(property.Get());
            }
        }
        Byte(0);
    }

    const std::string& Result() const { return out_; }

private:
    std::string out_;
};

// --- reading -----------------------------------------------------------------

struct ParsedObject;

// A value read from a block: a simple value, a list of texts or an object.
struct ParsedValue {
    TEasyValue value;
    std::unique_ptr<ParsedObject> object;
};

struct ParsedObject {
    std::vector<std::pair<std::wstring, ParsedValue>> members;

    const ParsedValue* Find(const std::wstring& name) const
    {
        for (const auto& [memberName, value] : members)
            if (SameText(memberName, name))
                return &value;
        return nullptr;
    }
};

class BlockReader {
public:
    explicit BlockReader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }

    uint8_t Byte()
    {
        if (pos_ >= bytes_.size())
            Damaged();
        return static_cast<uint8_t>(bytes_[pos_++]);
    }

    std::string_view Take(uint64_t count)
    {
        if (count > bytes_.size() - pos_)
            Damaged();
        const std::string_view part = bytes_.substr(pos_, static_cast<size_t>(count));
        pos_ += static_cast<size_t>(count);
        return part;
    }

    template <typename T>
    T Little()
    {
        uint64_t value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<uint64_t>(Byte()) << (8 * i);
        return static_cast<T>(value);
    }

    void Signature()
    {
        if (Take(sizeof kSignature) != std::string_view(kSignature, sizeof kSignature))
            Damaged();
    }

    // Texts of the list: short and long ANSI strings and wide strings.
    bool Text(uint8_t type, std::wstring& text)
    {
        switch (type) {
        case vaString:
            text = TEncoding::Default().GetString(Take(Byte()));
            return true;
        case vaLString:
            text = TEncoding::Default().GetString(Take(Little<uint32_t>()));
            return true;
        case vaWString:
            text = TEncoding::Unicode().GetString(Take(static_cast<uint64_t>(Little<uint32_t>()) * 2));
            return true;
        default:
            return false;
        }
    }

    ParsedValue Value(int depth)
    {
        ParsedValue parsed;
        const uint8_t type = Byte();
        std::wstring text;
        if (Text(type, text)) {
            parsed.value = std::move(text);
            return parsed;
        }
        switch (type) {
        case vaInt8:
            parsed.value = static_cast<int64_t>(Little<int8_t>());
            break;
        case vaInt16:
            parsed.value = static_cast<int64_t>(Little<int16_t>());
            break;
        case vaInt32:
            parsed.value = static_cast<int64_t>(Little<int32_t>());
            break;
        case vaInt64:
            parsed.value = Little<int64_t>();
            break;
        case vaDouble: {
            const uint64_t bits = Little<uint64_t>();
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            parsed.value = d;
            break;
        }
        case vaFalse:
        case vaTrue:
            parsed.value = type == vaTrue;
            break;
        case vaList: {
            TEasyStringsValue lines;
            for (uint8_t item = Byte(); item != vaNull; item = Byte()) {
                if (!Text(item, text))
                    BadValue();
                lines.push_back(std::move(text));
            }
            parsed.value = std::move(lines);
            break;
        }
        case vaObject:
            parsed.object = std::make_unique<ParsedObject>(Object(depth + 1));
            break;
        default:
            BadValue();
        }
        return parsed;
    }

    ParsedObject Object(int depth)
    {
        if (depth > kMaxDepth)
            Damaged();
        ParsedObject object;
        for (uint8_t length = Byte(); length != 0; length = Byte()) {
            std::wstring name = Utf8ToWide(Take(length));
            ParsedValue value = Value(depth);
            object.members.emplace_back(std::move(name), std::move(value));
        }
        return object;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

// The value as the property's kind takes it, or false.
bool Convert(const ParsedValue& parsed, TEasyPropertyKind kind, TEasyValue& value)
{
    if (parsed.object)
        return false;
    switch (kind) {
    case TEasyPropertyKind::pkInteger:
        if (!std::holds_alternative<int64_t>(parsed.value))
            return false;
        break;
    case TEasyPropertyKind::pkFloat:
        if (const auto* i = std::get_if<int64_t>(&parsed.value)) {
            value = static_cast<double>(*i);
            return true;
        }
        if (!std::holds_alternative<double>(parsed.value))
            return false;
        break;
    case TEasyPropertyKind::pkString:
        if (!std::holds_alternative<std::wstring>(parsed.value))
            return false;
        break;
    case TEasyPropertyKind::pkBoolean:
        if (!std::holds_alternative<bool>(parsed.value))
            return false;
        break;
    case TEasyPropertyKind::pkStrings:
        if (!std::holds_alternative<TEasyStringsValue>(parsed.value))
            return false;
        break;
    case TEasyPropertyKind::pkObject:
        return false;
    }
    value = parsed.value;
    return true;
}

// Every value the object will take fits its property.
void Check(TEasyPersistent& object, const ParsedObject& parsed)
{
    for (TEasyProperty& property : object.Properties()) {
        const ParsedValue* value = parsed.Find(property.Name);
        if (!value)
            continue;
        if (property.Kind == TEasyPropertyKind::pkObject) {
            if (!value->object)
                BadValue();
            Check(*property.Object, *value->object);
            continue;
        }
        TEasyValue converted;
        if (!Convert(*value, property.Kind, converted))
            BadValue();
    }
}

void Apply(TEasyPersistent& object, const ParsedObject& parsed)
{
    for (TEasyProperty& property : object.Properties()) {
        const ParsedValue* value = parsed.Find(property.Name);
        if (!value)
            continue;
        if (property.Kind == TEasyPropertyKind::pkObject) {
            Apply(*property.Object, *value->object);
            continue;
        }
        TEasyValue converted;
        if (Convert(*value, property.Kind, converted))
            property.Set(converted);
    }
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

// --- registry ------------------------------------------------------------------

[[noreturn]] void UnknownRegistryType()
{
    throw ERegistryException(L"Unknown Registry Type");
}

std::wstring JoinLines(const TEasyStringsValue& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    return text;
}

TEasyStringsValue SplitLines(std::wstring_view text)
{
    TEasyStringsValue lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == L'\r' && start < text.size() && text[start] == L'\n')
            ++start;
    }
    return lines;
}

void OpenForWriting(TEasyRegistryStore& store, const std::wstring& key)
{
    if (!store.OpenKey(key, true))
        throw ERegistryException(L"Registrierungsschlüssel " + key + L" kann nicht erstellt werden");
}

}  // namespace

void WriteStreamed(TStream& stream, TEasyPersistent& object)
{
    BlockWriter writer;
    writer.Bytes(kSignature, sizeof kSignature);
    writer.Object(object);
    stream.WriteBytes(writer.Result());
}

void ReadStreamed(TStream& stream, TEasyPersistent& object)
{
    const std::string bytes = stream.ReadAll();
    BlockReader reader(bytes);
    reader.Signature();
    const ParsedObject parsed = reader.Object(0);
    Check(object, parsed);
    Apply(object, parsed);
}

std::wstring HexEncode(std::string_view bytes)
{
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 15]);
    }
    return text;
}

bool TryHexDecode(std::wstring_view text, std::string& bytes)
{
    bytes.clear();
    if (text.size() % 2 != 0)
        return false;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return true;
}

std::string HexDecode(std::wstring_view text)
{
    std::string bytes;
    if (!TryHexDecode(text, bytes))
        throw EConvertError(L"Ungültiger Hexadezimalwert");
    return bytes;
}

std::wstring IncludeBackslash(std::wstring_view text)
{
    std::wstring result(text);
    if (!result.empty() && result.back() != L'\\')
        result += L'\\';
    return result;
}

std::wstring StripQuotes(std::wstring_view text)
{
    auto quote = [](wchar_t c) { return c == L'\'' || c == L'"'; };
    if (text.size() >= 2 && quote(text.front()) && quote(text.back()))
        return std::wstring(text.substr(1, text.size() - 2));
    return std::wstring(text);
}

void SaveToIniFile(TEasyPersistent& object, const std::wstring& fileName, const std::wstring& name)
{
    TMemoryStream stream;
    WriteStreamed(stream, object);
    TEasyIniFile file(fileName);
    file.WriteString(name, HexEncode(std::string_view(reinterpret_cast<const char*>(stream.Memory()),
                                                      static_cast<size_t>(stream.Size()))));
    file.Save();
}

void LoadFromIniFile(TEasyPersistent& object, const std::wstring& fileName, const std::wstring& name)
{
    const TEasyIniFile file(fileName);
    std::string bytes;
    if (!TryHexDecode(file.ReadString(name, L""), bytes))
        throw EReadError(L"Beschädigter Wert " + name + L" in " + fileName);
    if (bytes.empty())
        return;
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    ReadStreamed(stream, object);
}

void SaveToRegistry(TEasyRegistryStore& store, TEasyPersistent& object, const std::wstring& key)
{
    OpenForWriting(store, key);
    const ScopeExit close([&] { store.CloseKey(); });
    for (TEasyProperty& property : object.Properties()) {
        if (property.Stored && !property.Stored())
            continue;
        if (property.Kind == TEasyPropertyKind::pkObject) {
            store.CloseKey();
            SaveToRegistry(store, *property.Object, key + L"\\" + property.Name);
            OpenForWriting(store, key);
            continue;
        }
        const TEasyValue value = property.Get();
        switch (property.Kind) {
        case TEasyPropertyKind::pkInteger: {
            const int64_t i = std::get<int64_t>(value);
            if (i >= INT32_MIN && i <= INT32_MAX)
                store.WriteInteger(property.Name, static_cast<int>(i));
            else
                store.WriteString(property.Name, IntToStr(i));
            break;
        }
        case TEasyPropertyKind::pkFloat: {
            const double d = std::get<double>(value);
            store.WriteBinary(property.Name, std::string_view(reinterpret_cast<const char*>(&d), sizeof d));
            break;
        }
        case TEasyPropertyKind::pkString:
            store.WriteString(property.Name, std::get<std::wstring>(value));
            break;
        case TEasyPropertyKind::pkBoolean:
            store.WriteInteger(property.Name, std::get<bool>(value) ? 1 : 0);
            break;
        case TEasyPropertyKind::pkStrings:
            store.WriteString(property.Name, JoinLines(std::get<TEasyStringsValue>(value)));
            break;
        case TEasyPropertyKind::pkObject:
            break;
        }
    }
}

void LoadFromRegistry(TEasyRegistryStore& store, TEasyPersistent& object, const std::wstring& key)
{
    if (!store.OpenKey(key, false))
        return;
    const ScopeExit close([&] { store.CloseKey(); });
    using Kind = TEasyRegistryStore::TValueKind;
    for (TEasyProperty& property : object.Properties()) {
        if (property.Kind == TEasyPropertyKind::pkObject) {
            store.CloseKey();
            LoadFromRegistry(store, *property.Object, key + L"\\" + property.Name);
            if (!store.OpenKey(key, false))
                return;
            continue;
        }
        const Kind kind = store.ValueKind(property.Name);
        if (kind == Kind::rvNone)
            continue;
        switch (property.Kind) {
        case TEasyPropertyKind::pkInteger:
            if (kind == Kind::rvInteger)
                property.Set(static_cast<int64_t>(store.ReadInteger(property.Name)));
            else if (kind == Kind::rvString)
                property.Set(StrToInt64(store.ReadString(property.Name)));
            else
                UnknownRegistryType();
            break;
        case TEasyPropertyKind::pkFloat: {
            if (kind != Kind::rvBinary)
                UnknownRegistryType();
            const std::string data = store.ReadBinary(property.Name);
            if (data.size() != sizeof(double))
                UnknownRegistryType();
            double d = 0;
            std::memcpy(&d, data.data(), sizeof d);
            property.Set(d);
            break;
        }
        case TEasyPropertyKind::pkString:
            if (kind != Kind::rvString)
                UnknownRegistryType();
            property.Set(store.ReadString(property.Name));
            break;
        case TEasyPropertyKind::pkBoolean:
            if (kind != Kind::rvInteger)
                UnknownRegistryType();
            property.Set(store.ReadInteger(property.Name) != 0);
            break;
        case TEasyPropertyKind::pkStrings:
            if (kind != Kind::rvString)
                UnknownRegistryType();
            property.Set(SplitLines(store.ReadString(property.Name)));
            break;
        case TEasyPropertyKind::pkObject:
            break;
        }
    }
}

}  // namespace qrv
