// The shell's components under Wine: the Run dialog with its title and
// description and the check of a typed command, the format dialog's
// answer, and the new-file types of types registered by the test.

#include "TestDir.h"

#include "dialogs/win/KyShellDialogs.h"
#include "framework/SysUtils.h"
#include "win/WindowSearch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace qrv;

namespace {

// Finds the visible window of the thread with that caption.
HWND FindThreadWindow(DWORD Thread, const std::wstring& Caption)
{
    struct Search {
        const std::wstring* Caption;
        HWND Found;
    } search{&Caption, nullptr};
    EnumThreadWindows(
        Thread,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t text[256];
            GetWindowTextW(window, text, 256);
            if (IsWindowVisible(window) && *s->Caption == text) {
                s->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// File types registered for the test under HKLM\Software\Classes (what is
// registered there shows through HKEY_CLASSES_ROOT under Wine), removed
// afterwards.
class RegisteredTypes {
public:
    ~RegisteredTypes()
    {
        for (const std::wstring& key : keys_)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
    }
    void Type(const std::wstring& Extension, const std::wstring& ProgId, const std::wstring& Name,
              const std::wstring& ValueName, const std::wstring& Value, DWORD Kind = REG_SZ)
    {
        SetDefault(Extension, ProgId);
        SetDefault(ProgId, Name);
        const std::wstring shellNew = L"Software\\Classes\\" + Extension + L"\\ShellNew";
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, shellNew.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, ValueName.c_str(), 0, Kind, reinterpret_cast<const BYTE*>(Value.c_str()),
                                 static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

private:
    void SetDefault(const std::wstring& Key, const std::wstring& Value)
    {
        keys_.push_back(Key);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + Key).c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    std::vector<std::wstring> keys_;
};

}  // namespace

TEST(KyRunDialog, OpensWithTitleAndDescription)
{
    // ctest: takes the focus (the shell's dialog is shown and activated)
    TKyRunDialog dialog(nullptr);
    dialog.Title = L"Quorvan ausführen";
    dialog.Description = L"Geben Sie den Namen eines Programms ein.";
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> found{false};
    std::atomic<bool> described{false};
    std::thread answer([&] {
        for (int i = 0; i < 400 && !found; ++i) {
            if (HWND window = FindThreadWindow(uiThread, dialog.Title)) {
                described = test::FindChildByText(window, dialog.Description) != nullptr;
                found = true;
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(25);
        }
    });
    EXPECT_TRUE(dialog.Execute());
    answer.join();
    EXPECT_TRUE(found);
    EXPECT_TRUE(described);
}

TEST(KyRunDialog, TheCheckOfATypedCommandReturnsOnRunFilesResult)
{
    TKyRunDialog dialog(nullptr);
    ASSERT_NE(dialog.NotifyWindow(), nullptr);
    std::wstring file, directory;
    dialog.OnRunFile = [&](TComponent*, const std::wstring& File, const std::wstring& Directory, int& Result) {
        file = File;
        directory = Directory;
        Result = rrRetry;
    };
    // The notification the dialog sends before it runs a command (Wine's
    // dialog never sends it: the test builds it).
    struct {
        NMHDR Header;
        LPCWSTR File;
        LPCWSTR Directory;
        int Show;
    } note{{nullptr, 0, static_cast<UINT>(kRunFileValidate)}, L"notepad.exe", L"C:\\windows", SW_SHOWNORMAL};
    EXPECT_EQ(SendMessageW(dialog.NotifyWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note)), rrRetry);
    EXPECT_EQ(file, L"notepad.exe");
    EXPECT_EQ(directory, L"C:\\windows");
    // Without a check every command runs.
    dialog.OnRunFile = nullptr;
    EXPECT_EQ(SendMessageW(dialog.NotifyWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note)), rrRun);
}

TEST(KyFormatDrive, ADriveWineCannotFormat)
{
    TKyFormatDrive format(nullptr);
    format.Drive = L'a';
    format.Options = foQuick;
    EXPECT_EQ(format.Execute(), frCannotFormat);
}

TEST(KyNewFileTypes, RegisteredTypesAreListedSortedWithIconsAndContents)
{
    test::TestDir dir;
    dir.Write(L"qrvvorlage.tpl", std::string("Vorlage\0mit Null", 16));
    RegisteredTypes types;
    types.Type(L".qrvtb", L"qrvtb_file", L"Qrv Test B leer", L"NullFile", L"");
    types.Type(L".qrvta", L"qrvta_file", L"Qrv Test A Vorlage", L"FileName", L"qrvvorlage.tpl");
    types.Type(L".qrvtm", L"qrvtm_file", L"Qrv Test M fehlt", L"FileName", L"fehlt.tpl");
    types.Type(L".qrvtc", L"qrvtc_file", L"Qrv Test C Programm", L"Command", L"%SystemRoot%\\notepad.exe %1",
               REG_EXPAND_SZ);

    TKyNewFileTypes list(nullptr, NewWinNewFileSystem(dir.Path()));
    list.Refresh();
    ASSERT_TRUE(list.Loaded());
    std::vector<std::wstring> ours;
    std::vector<int> at;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Item(i)->Extension.rfind(L".qrvt", 0) == 0) {
            ours.push_back(list.Item(i)->Description);
            at.push_back(i);
        }
    EXPECT_EQ(ours, (std::vector<std::wstring>{L"Qrv Test A Vorlage", L"Qrv Test B leer", L"Qrv Test C Programm"}));
    ASSERT_EQ(at.size(), 3u);
    for (const int index : at) {
        const TBitmap* icon = list.ItemBitmap(index);
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->Empty());
        EXPECT_EQ(icon->Width(), 16);
    }
    const TNewFileType& templateType = *list.Item(at[0]);
    EXPECT_EQ(templateType.Kind, TNewFileKind::Template);
    EXPECT_TRUE(SameText(templateType.Source, dir.File(L"qrvvorlage.tpl")));
    const std::vector<uint8_t> content = list.Content(templateType);
    EXPECT_EQ(std::string(content.begin(), content.end()), std::string("Vorlage\0mit Null", 16));
    EXPECT_EQ(list.Item(at[1])->Kind, TNewFileKind::NullFile);
    EXPECT_TRUE(list.Content(*list.Item(at[1])).empty());
    // The expandable command is read expanded.
    const TNewFileType& command = *list.Item(at[2]);
    EXPECT_EQ(command.Kind, TNewFileKind::Command);
    EXPECT_EQ(command.Source.find(L'%'), command.Source.find(L"%1"));
    EXPECT_NE(UpperCase(command.Source).find(L"\\NOTEPAD.EXE"), std::wstring::npos);
}
