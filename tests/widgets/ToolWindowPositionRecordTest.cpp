#include "widgets/ToolWindowPositionRecord.h"

#include <gtest/gtest.h>

#include <map>
#include <variant>

using namespace qrv;

namespace {

// A store over a map that remembers the order values were written in.
class MapStore {
public:
    using Value = std::variant<int, std::wstring>;
    std::map<std::pair<std::wstring, std::wstring>, Value> values;
    std::vector<std::wstring> order;

    TToolWindowPositionStore Store()
    {
        TToolWindowPositionStore store;
        store.ReadInteger = [this](const std::wstring& s, const std::wstring& n, int d) {
            auto it = values.find({s, n});
            return it != values.end() && std::holds_alternative<int>(it->second) ? std::get<int>(it->second) : d;
        };
        store.ReadString = [this](const std::wstring& s, const std::wstring& n, const std::wstring& d) {
            auto it = values.find({s, n});
            return it != values.end() && std::holds_alternative<std::wstring>(it->second)
                       ? std::get<std::wstring>(it->second)
                       : d;
        };
        store.WriteInteger = [this](const std::wstring& s, const std::wstring& n, int v) {
            values[{s, n}] = v;
            order.push_back(n);
        };
        store.WriteString = [this](const std::wstring& s, const std::wstring& n, const std::wstring& v) {
            values[{s, n}] = v;
            order.push_back(n);
        };
        return store;
    }
};

TToolWindowPosition Saved()
{
    TToolWindowPosition p;
    p.Visible = false;
    p.DockedTo = L"TopDock";
    p.LastDock = L"TopDock";
    p.DockRow = 2;
    p.DockPos = 140;
    p.FloatLeft = -5;
    p.FloatTop = 33;
    p.FloatRightX = 120;
    return p;
}

}  // namespace

TEST(ToolWindowPositionRecord, RoundTripsInItsFixedOrder)
{
    MapStore map;
    const TToolWindowPositionStore store = map.Store();
    WriteToolWindowPosition(store, L"Bar", Saved());
    EXPECT_EQ(map.order, (std::vector<std::wstring>{L"Rev", L"Visible", L"DockedTo", L"LastDock", L"DockRow",
                                                    L"DockPos", L"FloatLeft", L"FloatTop", L"FloatRightX"}));
    EXPECT_EQ(std::get<int>(map.values[{L"Bar", L"Rev"}]), 3);

    const auto read = ReadToolWindowPosition(store, L"Bar", TToolWindowPosition{}, true);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->Visible);
    EXPECT_EQ(read->DockedTo, L"TopDock");
    EXPECT_TRUE(read->HasLastDock);
    EXPECT_EQ(read->LastDock, L"TopDock");
    EXPECT_EQ(read->DockRow, 2);
    EXPECT_EQ(read->DockPos, 140);
    EXPECT_EQ(read->FloatLeft, -5);
    EXPECT_EQ(read->FloatTop, 33);
    EXPECT_EQ(read->FloatRightX, 120);
}

TEST(ToolWindowPositionRecord, RevisionsAndEmptyDocksLimitWhatIsRead)
{
    MapStore map;
    const TToolWindowPositionStore store = map.Store();
    TToolWindowPosition current;
    current.DockRow = 7;
    current.DockPos = 9;

    EXPECT_FALSE(ReadToolWindowPosition(store, L"Missing", current, false)) << "no section";

    WriteToolWindowPosition(store, L"Old", Saved());
    map.values[{L"Old", L"Rev"}] = 2;
    const auto old = ReadToolWindowPosition(store, L"Old", current, false);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->DockRow, 2);
    EXPECT_FALSE(old->HasLastDock) << "revision 2 restores everything but LastDock";
    EXPECT_FALSE(old->FloatRightX) << "not asked for";

    map.values[{L"Old", L"Rev"}] = 4;
    EXPECT_FALSE(ReadToolWindowPosition(store, L"Old", current, false)) << "an unknown revision is skipped";

    TToolWindowPosition locked = Saved();
    locked.DockedTo.clear();  // docked where dragging is forbidden
    WriteToolWindowPosition(store, L"Locked", locked);
    const auto onlyVisible = ReadToolWindowPosition(store, L"Locked", current, true);
    ASSERT_TRUE(onlyVisible);
    EXPECT_FALSE(onlyVisible->Visible);
    EXPECT_EQ(onlyVisible->DockRow, 7) << "only the visibility is restored";
    EXPECT_EQ(onlyVisible->DockPos, 9);
}

TEST(ToolWindowPositionRecord, StoredValuesOutOfRangeAreClamped)
{
    MapStore map;
    const TToolWindowPositionStore store = map.Store();
    TToolWindowPosition wild = Saved();
    wild.DockRow = -3;
    wild.DockPos = -50;
    wild.FloatRightX = 99999;
    wild.FloatLeft = -40000;  // a place off every screen is the window's business
    WriteToolWindowPosition(store, L"Bar", wild);
    const auto read = ReadToolWindowPosition(store, L"Bar", TToolWindowPosition{}, true);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->DockRow, 0);
    EXPECT_EQ(read->DockPos, 0);
    EXPECT_EQ(read->FloatRightX, 32767);
    EXPECT_EQ(read->FloatLeft, -40000);

    map.values[{L"Bar", L"DockPos"}] = 40000;
    map.values[{L"Bar", L"FloatRightX"}] = -7;
    const auto again = ReadToolWindowPosition(store, L"Bar", TToolWindowPosition{}, true);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->DockPos, 32767);
    EXPECT_EQ(again->FloatRightX, 0);
}
