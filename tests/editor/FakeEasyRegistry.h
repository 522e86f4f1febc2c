#pragma once
// A registry in memory for the editor family's persistence tests.

#include "editor/EasyPersistence.h"

#include <map>
#include <string>

namespace qrv::test {

// A registry in memory: keys by full path, values with their kinds.
class FakeRegistry : public TEasyRegistryStore {
public:
    struct Value {
        TValueKind kind;
        std::wstring text;
        int number = 0;
        std::string binary;
    };
    std::map<std::wstring, std::map<std::wstring, Value>> keys;
    std::wstring open;
    int openCount = 0;

    bool OpenKey(const std::wstring& key, bool canCreate) override
    {
        if (!keys.count(key) && !canCreate)
            return false;
        keys[key];
        open = key;
        ++openCount;
        return true;
    }
    void CloseKey() override
    {
        if (!open.empty())
            --openCount;
        open.clear();
    }
    Value* Find(const std::wstring& name)
    {
        auto& values = keys.at(open);
        const auto it = values.find(name);
        return it == values.end() ? nullptr : &it->second;
    }
    TValueKind ValueKind(const std::wstring& name) override
    {
        const Value* v = Find(name);
        return v ? v->kind : TValueKind::rvNone;
    }
    std::wstring ReadString(const std::wstring& name) override { return Find(name)->text; }
    void WriteString(const std::wstring& name, const std::wstring& value) override
    {
        keys.at(open)[name] = {TValueKind::rvString, value};
    }
    int ReadInteger(const std::wstring& name) override { return Find(name)->number; }
    void WriteInteger(const std::wstring& name, int value) override
    {
        keys.at(open)[name] = {TValueKind::rvInteger, L"", value};
    }
    std::string ReadBinary(const std::wstring& name) override { return Find(name)->binary; }
    void WriteBinary(const std::wstring& name, std::string_view data) override
    {
        keys.at(open)[name] = {TValueKind::rvBinary, L"", 0, std::string(data)};
    }
};

}  // namespace qrv::test
