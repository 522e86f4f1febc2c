#include "framework/SysUtils.h"
#include "framework/win/Registry.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {
const std::wstring kTestKey = L"\\Software\\Quorvan Tests\\Registry";

class RegistryTest : public testing::Test {
protected:
    void SetUp() override { TRegistry().DeleteKey(kTestKey); }
    void TearDown() override { TRegistry().DeleteKey(kTestKey); }
};
}  // namespace

TEST_F(RegistryTest, WritesReadsAndDeletesTypedValues)
{
    {
        TRegistry reg;
        ASSERT_FALSE(reg.OpenKey(kTestKey, false)) << "does not exist yet";
        ASSERT_TRUE(reg.OpenKey(kTestKey, true));
        reg.WriteString(L"Name", L"Größe Ω");
        reg.WriteInteger(L"Count", -5);
        reg.WriteBool(L"Flag", true);
        const uint8_t bytes[] = {0, 1, 0xFF};
        reg.WriteBinaryData(L"Blob", bytes, sizeof bytes);
        reg.WriteString(L"Empty", L"");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(kTestKey));
    EXPECT_EQ(reg.ReadString(L"Name"), L"Größe Ω");
    EXPECT_EQ(reg.ReadInteger(L"Count"), -5);
    EXPECT_TRUE(reg.ReadBool(L"Flag"));
    EXPECT_EQ(reg.ReadBinaryData(L"Blob"), (std::vector<uint8_t>{0, 1, 0xFF}));
    EXPECT_EQ(reg.ReadString(L"Empty"), L"");
    EXPECT_EQ(reg.GetDataType(L"Count"), TRegDataType::rdInteger);
    EXPECT_THROW(reg.ReadInteger(L"Name"), ERegistryException) << "a string is no integer";
    EXPECT_THROW(reg.ReadString(L"Missing"), ERegistryException);

    TStringList names;
    reg.GetValueNames(names);
    names.SetSorted(true);
    EXPECT_EQ(names.CommaText(), L"Blob,Count,Empty,Flag,Name");

    ASSERT_TRUE(reg.OpenKey(kTestKey, false));
    EXPECT_TRUE(reg.DeleteValue(L"Name"));
    EXPECT_FALSE(reg.ValueExists(L"Name"));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(kTestKey));
    EXPECT_FALSE(reg.KeyExists(kTestKey));
}

TEST_F(RegistryTest, PathsWithoutLeadingBackslashAreRelativeToTheOpenKey)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kTestKey, true));
    ASSERT_TRUE(reg.OpenKey(L"Child", true));
    EXPECT_EQ(reg.CurrentPath(), L"Software\\Quorvan Tests\\Registry\\Child");
    reg.WriteInteger(L"X", 1);
    ASSERT_TRUE(reg.OpenKey(kTestKey, false));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList keys;
    reg.GetKeyNames(keys);
    EXPECT_EQ(keys.Text(), L"Child\r\n");
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists(L"Software\\Quorvan Tests\\Registry\\Child")) << "no open key: from the root";
    EXPECT_TRUE(reg.DeleteKey(kTestKey)) << "a key with subkeys is deleted whole";
}
