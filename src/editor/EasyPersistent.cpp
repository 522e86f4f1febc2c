#include "editor/EasyPersistent.h"

namespace qrv {

namespace {

template <typename T, typename Get, typename Set>
TEasyProperty Simple(std::wstring name, TEasyPropertyKind kind, Get get, Set set)
{
    TEasyProperty property;
    property.Name = std::move(name);
    property.Kind = kind;
    property.Get = [get = std::move(get)]() -> TEasyValue { return get(); };
    property.Set = [set = std::move(set)](const TEasyValue& value) { set(std::get<T>(value)); };
    return property;
}

}  // namespace

TEasyProperty IntegerProperty(std::wstring name, std::function<int64_t()> get, std::function<void(int64_t)> set)
{
    return Simple<int64_t>(std::move(name), TEasyPropertyKind::pkInteger, std::move(get), std::move(set));
}

TEasyProperty FloatProperty(std::wstring name, std::function<double()> get, std::function<void(double)> set)
{
    return Simple<double>(std::move(name), TEasyPropertyKind::pkFloat, std::move(get), std::move(set));
}

TEasyProperty StringProperty(std::wstring name, std::function<std::wstring()> get,
                             std::function<void(const std::wstring&)> set)
{
    return Simple<std::wstring>(std::move(name), TEasyPropertyKind::pkString, std::move(get), std::move(set));
}

TEasyProperty BooleanProperty(std::wstring name, std::function<bool()> get, std::function<void(bool)> set)
{
    return Simple<bool>(std::move(name), TEasyPropertyKind::pkBoolean, std::move(get), std::move(set));
}

TEasyProperty StringsProperty(std::wstring name, std::function<TEasyStringsValue()> get,
                              std::function<void(const TEasyStringsValue&)> set)
{
    return Simple<TEasyStringsValue>(std::move(name), TEasyPropertyKind::pkStrings, std::move(get), std::move(set));
}

TEasyProperty ObjectProperty(std::wstring name, TEasyPersistent& object)
{
    TEasyProperty property;
    property.Name = std::move(name);
    property.Kind = TEasyPropertyKind::pkObject;
    property.Object = &object;
    return property;
}

}  // namespace qrv
