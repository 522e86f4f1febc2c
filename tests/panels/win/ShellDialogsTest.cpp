#include "panels/win/ShellDialogs.h"

#include "TestDir.h"
#include "common/win/FileClipboard.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The menu item whose shell verb is Verb; 0 when the menu has none.
UINT CommandOfVerb(HMENU menu, const std::function<std::wstring(UINT)>& verbOf, const std::wstring& verb)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id != static_cast<UINT>(-1) && id != 0 && verbOf(id) == verb)
            return id;
    }
    return 0;
}

void PutTextOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// A file on the test drive and a tracker that picks a verb (or an id) and
// remembers the menu it was shown.
class ShellDialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        file = dir.Write(L"brief.txt", "Text");
        SetShellMenuTracker([this](HMENU menu, POINT, HWND owner, const std::function<std::wstring(UINT)>& verbOf) {
            tracked = true;
            trackOwner = owner;
            ownItems.clear();
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                // Submenus answer -1.
                const auto own = [&](int k) {
                    const UINT item = GetMenuItemID(menu, k);
                    return item > 1000 && item != static_cast<UINT>(-1);
                };
                const UINT id = GetMenuItemID(menu, i);
                wchar_t caption[64] = L"";
                GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
                if (own(i) || (id == 0 && !ownItems.empty()) ||
                    (id == 0 && i + 1 < GetMenuItemCount(menu) && own(i + 1)))
                    ownItems.push_back(id == 0 ? L"-" : caption);
            }
            return pickId ? pickId : CommandOfVerb(menu, verbOf, pickVerb);
        });
    }
    void TearDown() override
    {
        SetShellMenuTracker(nullptr);
        ShellContextMenuExtraItems = nullptr;
    }

    test::TestDir dir;
    std::wstring file;
    std::wstring pickVerb;
    UINT pickId = 0;
    bool tracked = false;
    HWND trackOwner = nullptr;
    std::vector<std::wstring> ownItems;
};

}  // namespace

// The shell's copy item: returned, not run, unless the caller lets the
// shell fill the clipboard; then the clipboard names the file.
TEST_F(ShellDialogsTest, CopyIsReturnedToTheCallerOrRunByTheShell)
{
    PutTextOnClipboard(L"Notiz");
    pickVerb = L"copy";
    std::wstring verb = L"alt";
    ShowShellContextMenuForPath(nullptr, POINT{10, 10}, file, false, verb, false);
    ASSERT_TRUE(tracked);
    EXPECT_NE(trackOwner, nullptr) << "the hidden window owns the menu";
    EXPECT_EQ(verb, L"copy");
    EXPECT_FALSE(ClipboardHasFiles());
    EXPECT_EQ(ClipboardText(), L"Notiz");

    ShowShellContextMenuForFiles(nullptr, POINT{10, 10}, dir.Path(), false, true, verb, {L"brief.txt"});
    EXPECT_EQ(verb, L"copy");
    const auto files = ReadClipboardFiles(nullptr);
    ASSERT_TRUE(files.has_value());
    ASSERT_EQ(files->Names.size(), 1u);
    EXPECT_EQ(CompareStringOrdinal(files->Names[0].c_str(), -1, file.c_str(), -1, TRUE), CSTR_EQUAL)
        << testing::PrintToString(files->Names);
    ASSERT_TRUE(EmptyFileClipboard(nullptr));

    // Nothing to show: no menu, no verb.
    tracked = false;
    ShowShellContextMenuForPath(nullptr, POINT{10, 10}, dir.File(L"fehlt.txt"), false, verb, false);
    ShowShellContextMenuForFiles(nullptr, POINT{10, 10}, dir.Path(), false, false, verb, {L"fehlt.txt"});
    EXPECT_FALSE(tracked);
    EXPECT_EQ(verb, L"");
}

// The program's popup: A, a line, a hidden item and B show as a line, A, a
// line and B; choosing B runs B's handler and returns no verb.
TEST_F(ShellDialogsTest, TheProgramsItemsFollowAndRunTheirHandlers)
{
    TPopupMenu popup(nullptr);
    std::vector<std::wstring> clicked;
    for (const wchar_t* caption : {L"A", L"-", L"versteckt", L"B"}) {
        auto* item = new TMenuItem(&popup);
        item->SetCaption(caption);
        item->SetVisible(std::wstring(caption) != L"versteckt");
        if (!item->IsLine())
            item->OnClick = [&clicked, caption](TComponent* sender) {
                EXPECT_EQ(sender, nullptr);
                clicked.push_back(caption);
            };
        popup.Items()->Add(item);
    }
    ShellContextMenuExtraItems = &popup;
    pickId = 1004;
    std::wstring verb = L"alt";
    ShowShellContextMenuForPath(nullptr, POINT{10, 10}, file, false, verb, false);
    EXPECT_EQ(ownItems, (std::vector<std::wstring>{L"-", L"A", L"-", L"B"}));
    EXPECT_EQ(clicked, (std::vector<std::wstring>{L"B"}));
    EXPECT_EQ(verb, L"");
    EXPECT_TRUE(Exists(file));
}

// A file type whose default verb runs a recorder: the empty verb runs it
// (Wine's shell menu offers a type's "open" alone).
TEST_F(ShellDialogsTest, AnEmptyVerbRunsTheDefaultVerb)
{
    const std::wstring mark = dir.File(L"lief.txt");
    {
        TRegistry registry(KEY_ALL_ACCESS);
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(L"\\Software\\Classes\\.qrvverb", true));
        registry.WriteString(L"", L"QrvVerbTest");
        ASSERT_TRUE(registry.OpenKey(L"\\Software\\Classes\\QrvVerbTest\\shell\\open\\command", true));
        registry.WriteString(L"", L"cmd.exe /c echo lief> \"" + mark + L"\"");
        ASSERT_TRUE(registry.OpenKey(L"\\Software\\Classes\\QrvVerbTest\\shell", false));
        registry.WriteString(L"", L"open");
    }
    const std::wstring item = dir.Write(L"probe.qrvverb", "x");
    EXPECT_TRUE(HasShellVerb(L".qrvverb", L"open"));
    EXPECT_FALSE(HasShellVerb(L".qrvverb", L"print"));
    EXPECT_TRUE(InvokeShellVerb(nullptr, L"", item));
    EXPECT_TRUE(test::PumpUntil([&] { return Exists(mark); }, 10s)) << "the default verb did not run";
    EXPECT_FALSE(InvokeShellVerb(nullptr, L"", dir.File(L"fehlt.qrvverb")));
    // A type without any verb: nothing runs.
    EXPECT_FALSE(InvokeShellVerb(nullptr, L"", dir.Write(L"ohne.qrvnone", "x")));

    TRegistry registry(KEY_ALL_ACCESS);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.DeleteKey(L"\\Software\\Classes\\QrvVerbTest");
    registry.DeleteKey(L"\\Software\\Classes\\.qrvverb");
}
