#include "common/KyNotify.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {
struct Call {
    int event;
    std::wstring path1, path2;
};
}  // namespace

TEST(KyNotify, HandsEventAndBothPathsToTheHandler)
{
    TKyNotify notifier;
    std::vector<Call> calls;
    notifier.OnNotify = [&](int event, const std::wstring& p1, const std::wstring& p2) {
        calls.push_back({event, p1, p2});
    };
    notifier.Notify(kneRenameItem, L"C:\\a\\alt.txt", L"C:\\a\\neu.txt");
    notifier.Notify(kneCreate, L"C:\\a\\Ordner");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].event, 0x1);
    EXPECT_EQ(calls[0].path1, L"C:\\a\\alt.txt");
    EXPECT_EQ(calls[0].path2, L"C:\\a\\neu.txt");
    EXPECT_EQ(calls[1].event, 0x2);
    EXPECT_EQ(calls[1].path2, L"") << "the second path defaults to empty";
}

TEST(KyNotify, WithoutHandlerNotifyDoesNothing)
{
    TKyNotify notifier;
    EXPECT_NO_THROW(notifier.Notify(kneUpdateItem, L"C:\\x"));
    int calls = 0;
    notifier.OnNotify = [&](int, const std::wstring&, const std::wstring&) { ++calls; };
    notifier.OnNotify = nullptr;  // as the main window does at shutdown
    notifier.Notify(kneRenameFolder, L"C:\\a", L"C:\\b");
    EXPECT_EQ(calls, 0);
}

TEST(KyNotify, TheGlobalNotifierIsOneObject)
{
    EXPECT_EQ(&KyNotify(), &KyNotify());
    int seen = 0;
    KyNotify().OnNotify = [&](int event, const std::wstring&, const std::wstring&) { seen = event; };
    KyNotify().Notify(kneUpdateItem, L"C:\\x");
    KyNotify().OnNotify = nullptr;
    EXPECT_EQ(seen, 0x2000);
}
