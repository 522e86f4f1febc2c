#pragma once
// Objects of the editor family that keep their settings declare a table of
// their properties: a name, a kind and how to read and set the value. The
// table drives every store: the streamed block (WriteStreamed), the
// name=value file and the registry (EasyPersistence.h). Portable.

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace qrv {

class TEasyPersistent;

enum class TEasyPropertyKind {
    pkInteger,  // int64_t
    pkFloat,    // double
    pkString,   // std::wstring
    pkBoolean,  // bool
    pkStrings,  // a list of lines, std::vector<std::wstring>
    pkObject,   // a persistent object of its own (Object)
};

using TEasyStringsValue = std::vector<std::wstring>;
using TEasyValue = std::variant<int64_t, double, std::wstring, bool, TEasyStringsValue>;

struct TEasyProperty {
    std::wstring Name;
    TEasyPropertyKind Kind = TEasyPropertyKind::pkInteger;
    std::function<TEasyValue()> Get;             // the simple kinds and pkStrings
    std::function<void(const TEasyValue&)> Set;  // the simple kinds and pkStrings
    TEasyPersistent* Object = nullptr;           // pkObject
    std::function<bool()> Stored;                // empty: always stored
};

class TEasyPersistent {
public:
    virtual ~TEasyPersistent() = default;
    // The properties in the order they are stored.
    virtual std::vector<TEasyProperty> Properties() = 0;
};

// Table entries bound to a getter and a setter.
TEasyProperty IntegerProperty(std::wstring name, std::function<int64_t()> get, std::function<void(int64_t)> set);
TEasyProperty FloatProperty(std::wstring name, std::function<double()> get, std::function<void(double)> set);
TEasyProperty StringProperty(std::wstring name, std::function<std::wstring()> get,
                             std::function<void(const std::wstring&)> set);
TEasyProperty BooleanProperty(std::wstring name, std::function<bool()> get, std::function<void(bool)> set);
TEasyProperty StringsProperty(std::wstring name, std::function<TEasyStringsValue()> get,
                              std::function<void(const TEasyStringsValue&)> set);
TEasyProperty ObjectProperty(std::wstring name, TEasyPersistent& object);

}  // namespace qrv
